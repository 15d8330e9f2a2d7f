// The host's reader on arbitrary streams, into the tree and into the CLI's item
// writers: nothing may read past the buffer.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "item_writers.h"
#include "strataview/item_tree.h"
#include "strataview/stream_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* const nowhere = std::fopen("/dev/null", "wb");
  // A copy of exactly the input's length, so any overread hits the sanitizer.
  std::vector<std::uint8_t> stream(data, data + size);
  auto length = static_cast<std::uint32_t>(stream.size());
  strataview::ItemTree tree;
  strataview::StreamFaults faults;
  strataview::BuildItemTree(length, stream.data(), tree, &faults);
  if (faults.count > 0 && faults.last.item >= tree.Items().size()) __builtin_trap();
  cli::RangePass ranges;
  cli::ReadInto(ranges, length, stream.data());
  std::string out;
  cli::JsonItems items(ranges.Ranges(), out, nowhere);
  cli::ReadInto(items, length, stream.data());
  return 0;
}
