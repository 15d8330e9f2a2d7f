// Brindol: TIFF files, with their Exif and GPS directories and the JPEG
// streams their directories point to.
#include "flavour.h"
#include "hpi/plugin.h"
#include "ifd_walker.h"
#include "messages.h"

namespace brindol {
namespace {

constexpr int kTopLevel = 1;

int IsSupported(const std::uint8_t* head, std::size_t length) {
  return length >= 4 && tiffjpeg::IsTiffHeader(head) ? 1 : 0;
}

bool Analyse(hpi::Analysis& analysis) {
  return tiffjpeg::AnalyzeTiff(analysis.file, analysis.out, tiffjpeg::kTiffFlavour, 0,
                               static_cast<std::int64_t>(analysis.fileSize), kTopLevel);
}

constexpr hpi::PluginDescriptor kBrindol{
    {"Brindol.hpi ver. 1.00 TIFF file header analyze Plug-In \nCopyright (C) 2026 tarvo", "TIFF image(*.tif;*.tiff)",
     "*.tif;*.tiff"},
    tiffjpeg::kTiffMessages,
    8,
    false,
    IsSupported,
    nullptr,
    Analyse,
    "Brindol.hpi ver.1.00. TIFF file header and data analyzer Plug-In",
};

}  // namespace
}  // namespace brindol

const hpi::PluginDescriptor& hpi::ThisPlugin() { return brindol::kBrindol; }
