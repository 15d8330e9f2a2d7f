// Tamsele: JPEG files, with the Exif data of their APP1 segments.
#include "flavour.h"
#include "hpi/plugin.h"
#include "jpeg_walker.h"
#include "messages.h"

namespace tamsele {
namespace {

constexpr int kTopLevel = 1;

// A JPEG stream starts with SOI and the 0xFF of the next marker.
int IsSupported(const std::uint8_t* head, std::size_t length) {
  return length >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF ? 1 : 0;
}

bool Analyse(hpi::Analysis& analysis) {
  tiffjpeg::JpegWalker walker(analysis.file, analysis.out, tiffjpeg::kJpegFlavour);
  return walker.WalkJpeg(0, static_cast<std::int64_t>(analysis.fileSize), kTopLevel);
}

constexpr hpi::PluginDescriptor kTamsele{
    {"Tamsele.hpi ver. 1.01 JPEG file analyze Plug-In \nCopyright (C) 2026 tarvo", "JPEG image(*.jpg;*.jpeg)",
     "*.jpg;*.jpeg"},
    tiffjpeg::kJpegMessages,
    3,
    false,
    IsSupported,
    nullptr,
    Analyse,
    "Tamsele.hpi ver.1.01. JPG file analyzer Plug-In",
};

}  // namespace
}  // namespace tamsele

const hpi::PluginDescriptor& hpi::ThisPlugin() { return tamsele::kTamsele; }
