// The host's reader on arbitrary streams: it must never read past the buffer.
#include <cstdint>
#include <vector>

#include "strataview/item_tree.h"
#include "strataview/stream_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's length, so any overread hits the sanitizer.
  std::vector<std::uint8_t> stream(data, data + size);
  strataview::ItemTree tree;
  strataview::BuildItemTree(static_cast<std::uint32_t>(stream.size()), stream.data(), tree);
  return 0;
}
