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

[[noreturn]] void Die(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  std::abort();
}

// One analysis: the stream's bytes (empty on failure) and whether it is partial.
struct Run {
  std::string stream;
  bool partial = false;
};

Run Analyse(const std::string& path, int requestFlags) {
  HpiMemHandle stream = nullptr;
  HpiMemHandle report = nullptr;
  std::uint32_t result = HPI_GetHeadAnalyzedData(path.c_str(), &stream, requestFlags, 0, 0, &report);
  Run run;
  run.partial = (result & hpi::kPartialResult) != 0;
  std::uint32_t length = result & ~hpi::kPartialResult;
  if (length != 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(HpiMemLock(stream));
    run.stream.assign(reinterpret_cast<const char*>(bytes), length);
    strataview::ItemTree tree;
    strataview::StreamFaults faults;
    int fault = strataview::BuildItemTree(length, bytes, tree, &faults);
    if (fault != 0) Die("the plug-in wrote a stream the reader refuses");
    if (run.partial && (faults.count == 0 || faults.last.item + 3 != tree.Items().size())) {
      Die("a partial stream that does not end in its fault item");
    }
  } else {
    char message[hpi::kMessageBufferSize] = {};
    HPI_GetLastErrMsg(message);
  }
  if (stream != nullptr) HpiMemFree(stream);
  if (report != nullptr) HpiMemFree(report);
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = ScratchPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  HPI_IsSupported(path.c_str(), 1, hpi::kSupportReserved);
  // A host that asks for nothing sees what it always saw; one that asks for a
  // partial analysis gets the same stream on success.
  Run whole = Analyse(path, 0);
  if (whole.partial) Die("a partial stream that was not asked for");
  Run partial = Analyse(path, hpi::kRequestPartial);
  if (!whole.stream.empty() && (partial.partial || partial.stream != whole.stream)) {
    Die("asking for a partial analysis changed a successful one");
  }
  if (whole.stream.empty() && !partial.stream.empty() && !partial.partial) Die("a failure became a success");
  return 0;
}
