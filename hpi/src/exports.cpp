// The six exports every plug-in shares, driven by the plug-in's descriptor.
#include "hpi/exports.h"

#include <cstring>
#include <memory>
#include <new>

#include "hpi/plugin.h"
#include "hpi/version_dialog.h"

namespace hpi {
namespace {

void CopyField(char* record, std::size_t offset, std::size_t size, const char* text) {
  std::size_t n = std::min(std::strlen(text), size - 1);
  std::memcpy(record + offset, text, n);
  record[offset + n] = '\0';
}

// Copies the first length bytes of the stream into a fresh memory block; false
// when the block cannot be had or the stream gives back fewer bytes.
bool HandOver(SFStream& stream, std::uint32_t length, HpiMemHandle* handle) {
  *handle = HpiMemAlloc(length);
  if (*handle == nullptr) {
    SetPluginError(kMemoryError);
    return false;
  }
  void* bytes = HpiMemLock(*handle);
  int got = stream.SetDirection(0) ? stream.Read(static_cast<std::int32_t>(length), bytes) : -1;
  HpiMemUnlock(*handle);
  if (got != static_cast<int>(length)) {
    HpiMemFree(*handle);
    *handle = nullptr;
    return false;
  }
  return true;
}

// After a failure: the records written whole and the fault item, with the
// failure's message kept for HPI_GetLastErrMsg. 0 when nothing could be handed over.
std::uint32_t HandOverPartial(SFStream& stream, Analysis& analysis, HpiMemHandle* handle) {
  RecordedError failure = LastError();
  analysis.out.EndGroupsOutside(failure.offset);
  WriteRecordedFault(analysis);
  std::uint32_t length = analysis.out.CompleteBytes();
  bool handed = length > 0 && HandOver(stream, length, handle);
  RestoreError(failure);
  return handed ? length | kPartialResult : 0;
}

void HandOverReport(const Report& report, HpiMemHandle* handle) {
  const std::string& text = report.Text();
  HpiMemHandle block = HpiMemAlloc(text.size() + 1);
  if (block == nullptr) {
    SetPluginError(kMemoryError);
    return;
  }
  std::memcpy(HpiMemLock(block), text.c_str(), text.size() + 1);
  HpiMemUnlock(block);
  *handle = block;
}

std::uint32_t Analyse(const char* path, HpiMemHandle* streamHandle, int requestFlags, HpiMemHandle* reportHandle) {
  SetPluginError(kNoError);
  if (path == nullptr || streamHandle == nullptr) {
    SetPluginError(kWrongArgument);
    return 0;
  }
  std::unique_ptr<SFStream> stream(new (std::nothrow) SFStream);
  if (!stream) {
    SetPluginError(kMemoryError);
    return 0;
  }
  stream->SetDirection(1);
  BinaryFile file;
  if (!file.Open(path)) {
    SetPluginError(kFileOpenError);
    return 0;
  }
  Writer out(*stream);
  Report report;
  std::int64_t length = file.Length();
  Analysis analysis{file, length > 0 ? static_cast<std::uint64_t>(length) : 0, out, RootNameOf(path),
                    reportHandle != nullptr ? &report : nullptr};
  const PluginDescriptor& plugin = ThisPlugin();
  if (plugin.preCheck != nullptr && !plugin.preCheck(analysis)) return 0;
  if (out.WriteRootName(analysis.rootName) < 0) return 0;
  SetAnalysedFile(&file);
  bool analysed = plugin.analyse(analysis) && out.Ok();
  SetAnalysedFile(nullptr);
  if (!analysed) return (requestFlags & kRequestPartial) != 0 ? HandOverPartial(*stream, analysis, streamHandle) : 0;
  if (!HandOver(*stream, stream->BytesWritten(), streamHandle)) return 0;
  if (reportHandle != nullptr && !report.Text().empty()) HandOverReport(report, reportHandle);
  return stream->BytesWritten();
}

}  // namespace

bool WriteRecordedFault(Writer& out, std::uint64_t fileSize) {
  char message[kMessageBufferSize] = {};
  CopyLastErrorText(message);
  std::uint64_t at = LastFaultOffset();
  std::uint64_t rest = at < fileSize ? fileSize - at : 0;
  SetPluginError(kNoError);
  return out.WriteFault(message, at, rest) > 0;
}

bool RequireNonEmptyFile(Analysis& analysis) {
  if (analysis.fileSize == 0) {
    SetPluginError(kFileReadError);
    return false;
  }
  return true;
}

const char* RootNameOf(const char* path) {
  const char* name = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') name = p + 1;
  }
  return name != nullptr ? name : "";
}

}  // namespace hpi

extern "C" {

HPI_EXPORT void HPI_CALL HPI_GetPluginInfo(char* info) {
  if (info == nullptr) return;
  const hpi::PluginInfo& p = hpi::ThisPlugin().info;
  hpi::CopyField(info, hpi::kInfoIdOffset, hpi::kInfoIdSize, hpi::kInterfaceId);
  hpi::CopyField(info, hpi::kInfoDescriptionOffset, hpi::kInfoDescriptionSize, p.description);
  hpi::CopyField(info, hpi::kInfoFilterNameOffset, hpi::kInfoFilterNameSize, p.filterName);
  hpi::CopyField(info, hpi::kInfoFilterPatternOffset, hpi::kInfoFilterPatternSize, p.filterPattern);
}

HPI_EXPORT int HPI_CALL HPI_IsSupported(const void* source, int isPath, int /*reserved*/) {
  if (source == nullptr) return 0;
  const hpi::PluginDescriptor& plugin = hpi::ThisPlugin();
  if (isPath == 0) return plugin.isSupported(static_cast<const std::uint8_t*>(source), hpi::kHeadBytes);
  hpi::BinaryFile file;
  if (!file.Open(static_cast<const char*>(source))) return 0;
  std::uint8_t head[hpi::kHeadBytes] = {};
  std::size_t want = std::min(plugin.supportBytes, hpi::kHeadBytes);
  int got = file.Read(head, want);
  if (got < 0 || (static_cast<std::size_t>(got) < want && !plugin.zeroFillShortFiles)) return 0;
  return plugin.isSupported(head, want);
}

HPI_EXPORT int HPI_CALL HPI_SetLanguage(int language) {
  bool known = language == hpi::kJapanese || language == hpi::kEnglish;
  hpi::SetCurrentLanguage(language == hpi::kEnglish ? hpi::kEnglish : hpi::kJapanese);
  return known ? 1 : 0;
}

HPI_EXPORT void HPI_CALL HPI_GetLastErrMsg(char* buffer) {
  if (buffer != nullptr) hpi::CopyLastErrorText(buffer);
}

HPI_EXPORT std::uint32_t HPI_CALL HPI_GetHeadAnalyzedData(const char* path, HpiMemHandle* stream, int requestFlags,
                                                          int /*reserved2*/, int /*reserved3*/, HpiMemHandle* report) {
  try {
    return hpi::Analyse(path, stream, requestFlags, report);
  } catch (...) {  // nothing may cross the library boundary
    hpi::SetPluginError(hpi::kMemoryError);
    return 0;
  }
}

HPI_EXPORT int HPI_CALL HPI_ShowVer(HpiWindow owner) { return hpi::ShowVersionDialog(owner); }

}  // extern "C"
