// The names of the markers' items.
#include <cstdio>

#include "jpeg_segments.h"

namespace tiffjpeg {
namespace {

struct FixedName {
  std::uint8_t marker;
  const char* name;
};
constexpr FixedName kFixedNames[] = {
    {0x01, "TEM"},
    {0xC4, "DHT(Define Huffman table segmet)"},
    {0xC8, "JPG"},
    {0xCC, "DAC(Define Arithmetic Table)"},
    {0xD8, "SOI(Start of Image)"},
    {0xD9, "EOI(End of image)"},
    {0xDA, "SOS(Start of scan segment)"},
    {0xDB, "DQT(Define quantization table segment)"},
    {0xDC, "DNL"},
    {0xDD, "DRI(Define restart interval)"},
    {0xDE, "DHP"},
    {0xDF, "EXP"},
    {0xFE, "COM(Comment segment)"},
};

}  // namespace

std::string_view MarkerName(std::uint8_t marker, char (&buffer)[64]) {
  for (const FixedName& row : kFixedNames) {
    if (row.marker == marker) return row.name;
  }
  int n = 0;
  if (marker >= 0x02 && marker <= 0xBF) {
    n = std::snprintf(buffer, sizeof buffer, "RES(Reserved)");
  } else if (marker >= 0xC0 && marker <= 0xCF) {
    n = std::snprintf(buffer, sizeof buffer, "SOF%d(Start of frame type %d segment)", marker - 0xC0, marker - 0xC0);
  } else if (marker >= 0xD0 && marker <= 0xD7) {
    n = std::snprintf(buffer, sizeof buffer, "RST%d", marker - 0xD0);
  } else if (marker >= 0xE0 && marker <= 0xEF) {
    n = std::snprintf(buffer, sizeof buffer, "APP%d(Application type %d segment)", marker - 0xE0, marker - 0xE0);
  } else {  // 0xF0 to 0xFD
    n = std::snprintf(buffer, sizeof buffer, "JPG%d", marker - 0xF0);
  }
  return std::string_view(buffer, static_cast<std::size_t>(n));
}

}  // namespace tiffjpeg
