#include "voltane.h"

#include "hpi/bytes.h"
#include "support.h"

namespace voltane {
namespace {

constexpr hpi::MessageRow kRows[] = {
    {kWrongBmpMarker, "[HPI_PLUGIN] Wrong BMP marker. This file is not BMP!",
     "[HPI_PLUGIN] BMPマーカーが不正です。BMPファイルではありません"},
};
constexpr hpi::MessageTable kMessages{kRows, true};

// Chooses the BMP or the icon/cursor analysis from the first six bytes.
bool Analyse(hpi::Analysis& analysis) {
  std::uint8_t head[6];
  if (hpi::ReadBlock(analysis.file, head, sizeof head) != sizeof head) {
    hpi::SetPluginError(hpi::kWrongFormat);
    return false;
  }
  bool bmp = hpi::LE16(head) == kBmpMarker;
  bool icon = hpi::LE16(head) == 0 && (hpi::LE16(head + 2) == 1 || hpi::LE16(head + 2) == 2);
  if (!bmp && !icon) {
    hpi::SetPluginError(hpi::kWrongFormat);
    return false;
  }
  if (!analysis.file.Seek(0)) {
    hpi::SetPluginError(hpi::kFileReadError);
    return false;
  }
  return bmp ? AnalyseBmp(analysis, kTopLevel) : AnalyseIcon(analysis, kTopLevel);
}

constexpr hpi::PluginDescriptor kVoltane{
    {"Voltane.hpi ver. 1.00 BMP/ICON/CURSOR file analyze Plug-In \nCopyright (C) 2026 tarvo",
     "BMP/ICON image(*.bmp;*.ico;*.cur)", "*.bmp;*.ico;*.cur"},
    kMessages,
    hpi::kHeadBytes,
    true,
    IsSupported,
    hpi::RequireNonEmptyFile,
    Analyse,
    "Voltane.hpi ver.1.00. BMP/ICON/CURSOR file analyzer Plug-In",
};

}  // namespace
}  // namespace voltane

const hpi::PluginDescriptor& hpi::ThisPlugin() { return voltane::kVoltane; }
