#include "messages.h"

#include <algorithm>

#include "hpi/plugin.h"

namespace tiffjpeg {
namespace {

constexpr hpi::MessageRow kJpegRows[] = {
    {kWrongApp0, "[HPI_PLUGIN] Wrong APP0 segment!", "[HPI_PLUGIN] APP0セグメントが不正です"},
    {kWrongDqt, "[HPI_PLUGIN] Wrong DQT segment!", "[HPI_PLUGIN] DQTセグメントが不正です"},
    {kWrongSof0, "[HPI_PLUGIN] Wrong SOF0 segment!", "[HPI_PLUGIN] SOF0セグメントが不正です"},
    {kWrongDht, "[HPI_PLUGIN] Wrong DHT segment!", "[HPI_PLUGIN] DHTセグメントが不正です"},
    {kWrongSos, "[HPI_PLUGIN] Wrong SOS segment!", "[HPI_PLUGIN] SOSセグメントが不正です"},
    {kWrongMarker, "[HPI_PLUGIN] Wrong Jpeg marker!", "[HPI_PLUGIN] 不正なJPEGマーカーが検出されました"},
    {kNotJpeg, "[HPI_PLUGIN] This file is not Jpeg!", "[HPI_PLUGIN] JPEGファイルではありません"},
};

constexpr hpi::MessageRow kTiffRows[] = {
    {kNotTiff, "[HPI_PLUGIN] This file is not TIFF", "[HPI_PLUGIN] TIFF ファイルではありません"},
    {kWrongHeader, "[HPI_PLUGIN] Wrong TIFF IFH(Image File Header)",
     "[HPI_PLUGIN] 不正なTIFF IFH(Image File Header)です"},
    {kWrongTagOrder, "[HPI_PLUGIN] Wrong TIFF tag order!", "[HPI_PLUGIN] 不正なTIFFタグ並びです"},
};

}  // namespace

const hpi::MessageTable kJpegMessages{kJpegRows, true};
const hpi::MessageTable kTiffMessages{kTiffRows, true};

bool WriteWarning(hpi::BinaryFile& file, hpi::Writer& out) {
  return hpi::WriteRecordedFault(out, static_cast<std::uint64_t>(std::max<std::int64_t>(file.Length(), 0)));
}

}  // namespace tiffjpeg
