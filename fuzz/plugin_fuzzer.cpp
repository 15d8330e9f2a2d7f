// Analyses the input with the plug-in linked in and checks that a returned
// stream is valid for the host's reader.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hpi/exports.h"
#include "strataview/item_tree.h"
#include "strataview/stream_reader.h"

namespace {

std::string ScratchPath() { return "/tmp/strataview-fuzz-" + std::to_string(getpid()) + ".bin"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = ScratchPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  HPI_IsSupported(path.c_str(), 1, hpi::kSupportReserved);
  HpiMemHandle stream = nullptr;
  HpiMemHandle report = nullptr;
  std::uint32_t length = HPI_GetHeadAnalyzedData(path.c_str(), &stream, 0, 0, 0, &report);
  if (length != 0) {
    strataview::ItemTree tree;
    int fault = strataview::BuildItemTree(length, static_cast<const std::uint8_t*>(HpiMemLock(stream)), tree);
    if (fault != 0) {
      std::fprintf(stderr, "the plug-in wrote a stream the reader refuses (message %d)\n", fault);
      std::abort();
    }
  } else {
    char message[hpi::kMessageBufferSize] = {};
    HPI_GetLastErrMsg(message);
  }
  if (stream != nullptr) HpiMemFree(stream);
  if (report != nullptr) HpiMemFree(report);
  return 0;
}
