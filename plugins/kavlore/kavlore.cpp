#include "kavlore.h"

#include "reader.h"

namespace kavlore {
namespace {

constexpr hpi::MessageRow kRows[] = {
    {kWrongLocalSignature, "[HPI_PLUGIN] Worng local file header signature!",
     "[HPI_PLUGIN] 不正なlocal file header シグネチャーです"},
    {kWrongCentralSignature, "[HPI_PLUGIN] Wrong central file header signature!",
     "[HPI_PLUGIN] 不正なcentral file header シグネチャーです"},
    {kWrongDigitalSignature, "[HPI_PLUGIN] Wrong degital signature header!",
     "[HPI_PLUGIN] 不正なDegital signature headerです"},
    {kWrongEndSignature, "[HPI_PLUGIN] Wrong end of central dir signature!",
     "[HPI_PLUGIN] 不正なend of central dir シグネチャーです"},
    {kWrongDescriptorSignature, "[HPI_PLUGIN] Wrong data descriptor signature!",
     "[HPI_PLUGIN] 不正なData descriptor シグネチャーです"},
    {kWrongLocalField, "[HPI_PLUGIN] Wrong local file field!",
     "[HPI_PLUGIN] 不正なlocal file フィールドフォーマットです"},
    {kWrongDescriptorField, "[HPI_PLUGIN] Wrong data descriptor field!",
     "[HPI_PLUGIN] 不正なData descriptor フィールドフォーマットです"},
    {kWrongExtraField, "[HPI_PLUGIN] Wrong extra field!", "[HPI_PLUGIN] 不正なextra field フォーマットです"},
    {kTooManyNests, "[HPI_PLUGIN] Too many nests!", "[HPI_PLUGIN] ネストが深すぎます"},
};
constexpr hpi::MessageTable kMessages{kRows, true};

// Finds the archive and hands the file to its walker.
bool Analyse(hpi::Analysis& analysis) {
  // The first bytes are zero-filled as the host fills its head record, so a
  // file shorter than the support test's bytes is walked as far as it goes.
  Location found = Locate(analysis);
  if (!analysis.file.Seek(0)) return FailAt(hpi::kFileReadError, 0);
  switch (found.kind) {
    case ArchiveKind::Zip: return WalkZip(analysis, found.offset);
    case ArchiveKind::Gzip: return WalkGzip(analysis);
    case ArchiveKind::Cab: return WalkCab(analysis, found.offset);
    case ArchiveKind::Lzh: return WalkLzh(analysis, found.offset);
    case ArchiveKind::None: break;
  }
  return FailAt(hpi::kWrongFormat, 0);
}

constexpr hpi::PluginDescriptor kKavlore{
    {"Kavlore.hpi ver. 1.00 PKZIP/GZIP/CAB/LZH file analyze Plug-In \nCopyright (C) 2026 tarvo",
     "Archived file(*.zip;*.gz;*.cab;*.lzh)", "*.zip;*.gz;*.cab;*.lzh"},
    kMessages,
    kSupportBytes,
    true,  // the host's head record is zero-filled likewise
    IsSupported,
    nullptr,
    Analyse,
    "Kavlore.hpi ver.1.00. Archive file analyzer Plug-In",
};

}  // namespace
}  // namespace kavlore

const hpi::PluginDescriptor& hpi::ThisPlugin() { return kavlore::kKavlore; }
