#include "strataview/analysis_driver.h"

#include <algorithm>
#include <cstring>

#include "strataview/platform/files.h"
#include "strataview/platform/library.h"
#include "strataview/stream_reader.h"

namespace strataview {
namespace {

constexpr std::size_t kExtensionLimit = 243;

// Takes a memory block from a plug-in and frees it when done.
class Block {
 public:
  Block() = default;
  ~Block() {
    if (handle != nullptr) HpiMemFree(handle);
  }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  HpiMemHandle handle = nullptr;
};

}  // namespace

std::string LowerExtension(const std::string& path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = path.substr(dot, kExtensionLimit);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext;
}

std::optional<HeadRecord> BuildHeadRecord(const std::string& path) {
  std::unique_ptr<ReadOnlyFile> file = ReadOnlyFile::Open(path);
  if (!file) return std::nullopt;
  std::int64_t size = file->Size();
  if (size < 0) return std::nullopt;
  HeadRecord head{};
  if (file->Read(head.data(), hpi::kHeadBytes) < 0) return std::nullopt;
  std::uint32_t low = static_cast<std::uint32_t>(size);
  for (int i = 0; i < 4; ++i) head[hpi::kHeadSizeOffset + i] = static_cast<std::uint8_t>(low >> (8 * i));
  std::string ext = LowerExtension(path);
  std::memcpy(head.data() + hpi::kHeadExtensionOffset, ext.data(), ext.size());
  return head;
}

bool AnalysisDriver::Accepts(const PluginEntry& entry, const HeadRecord& head) const {
  std::unique_ptr<Library> library = Library::Load(plugins_.LibraryPath(entry.fileName));
  if (!library) return false;
  auto isSupported = library->Get<HpiIsSupportedFn>("HPI_IsSupported");
  return isSupported != nullptr && isSupported(head.data(), 0, hpi::kSupportReserved) != 0;
}

std::optional<std::size_t> AnalysisDriver::ChoosePlugin(const std::string& path) const {
  if (!plugins_.Ready() || path.empty()) return std::nullopt;
  std::optional<HeadRecord> head = BuildHeadRecord(path);
  if (!head) return std::nullopt;
  std::string ext = LowerExtension(path);
  const std::vector<PluginEntry>& entries = plugins_.Entries();
  // An entry matches when its list holds the extension after its first character.
  auto matches = [&](const PluginEntry& e) {
    return !ext.empty() && e.extensionList.size() > 1 && e.extensionList.find(ext, 1) != std::string::npos;
  };
  for (bool firstPass : {true, false}) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (Offers(entries[i]) && matches(entries[i]) == firstPass && Accepts(entries[i], *head)) return i;
    }
  }
  return std::nullopt;
}

AnalysisOutcome AnalysisDriver::Analyse(const std::string& path, ItemSink& sink, StreamFaults* faults) const {
  return Analyse(path, [&sink, faults](const AnalysisOutcome&, std::uint32_t length, const std::uint8_t* stream) {
    return BuildItemTree(length, stream, sink, faults);
  });
}

AnalysisOutcome AnalysisDriver::Analyse(const std::string& path, const StreamConsumer& consume) const {
  AnalysisOutcome outcome;
  std::optional<std::size_t> chosen = ChoosePlugin(path);
  if (!chosen) {
    outcome.hostMessage = kMsgNoPlugin;
    return outcome;
  }
  const PluginEntry& entry = plugins_.Entries()[*chosen];
  outcome.pluginFile = entry.fileName;
  std::unique_ptr<Library> library = Library::Load(plugins_.LibraryPath(entry.fileName));
  if (!library) {
    outcome.hostMessage = kMsgPluginLoad;
    return outcome;
  }
  if (auto setLanguage = library->Get<HpiSetLanguageFn>("HPI_SetLanguage")) setLanguage(language_);
  auto analyse = library->Get<HpiGetHeadAnalyzedDataFn>("HPI_GetHeadAnalyzedData");
  if (analyse == nullptr) {
    outcome.hostMessage = kMsgPluginExport;
    return outcome;
  }
  Block stream, report;
  std::string pluginPath = PluginPath(path);
  std::uint32_t result = analyse(pluginPath.c_str(), &stream.handle, hpi::kRequestPartial, 0, 0, &report.handle);
  outcome.partial = (result & hpi::kPartialResult) != 0;
  outcome.streamLength = result & ~hpi::kPartialResult;
  if (outcome.streamLength == 0 || stream.handle == nullptr) {
    outcome.partial = false;
    outcome.streamLength = 0;
  }
  if (outcome.streamLength == 0 || outcome.partial) {
    if (auto lastError = library->Get<HpiGetLastErrMsgFn>("HPI_GetLastErrMsg")) {
      char message[hpi::kMessageBufferSize] = {};
      lastError(message);
      message[hpi::kMessageBufferSize - 1] = '\0';
      outcome.pluginMessage = message;
      outcome.hasPluginMessage = true;
    } else {
      outcome.hostMessage = kMsgPluginExport;
    }
    if (!outcome.partial) return outcome;
  } else {
    outcome.analysed = true;
    if (report.handle != nullptr) {
      outcome.report = static_cast<const char*>(HpiMemLock(report.handle));
      HpiMemUnlock(report.handle);
    }
  }
  const auto* bytes = static_cast<const std::uint8_t*>(HpiMemLock(stream.handle));
  outcome.readerFault = consume(outcome, outcome.streamLength, bytes);
  HpiMemUnlock(stream.handle);
  return outcome;
}

}  // namespace strataview
