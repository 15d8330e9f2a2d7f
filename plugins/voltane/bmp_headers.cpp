#include "bmp_headers.h"

#include "bitmap_info.h"

namespace voltane {
namespace {

constexpr std::uint32_t kShortestOs2Header = 16;
constexpr std::uint32_t kOs2HeaderSize = 64;

constexpr ExtraField kV4Fields[] = {
    {"bV4RedMask", 4},    {"bV4GreenMask", 4}, {"bV4BlueMask", 4},   {"bV4AlphaMask", 4}, {"bV4CSType", 4},
    {"bV4Endpoints", 36}, {"bV4GammaRed", 4},  {"bV4GammaGreen", 4}, {"bV4GammaBlue", 4},
};
constexpr ExtraField kV5Fields[] = {
    {"bV5RedMask", 4},     {"bV5GreenMask", 4},   {"bV5BlueMask", 4},   {"bV5AlphaMask", 4}, {"bV5CSType", 4},
    {"bV5Endpoints", 36},  {"bV5GammaRed", 4},    {"bV5GammaGreen", 4}, {"bV5GammaBlue", 4}, {"bV5Intent", 4},
    {"bV5ProfileData", 4}, {"bV5ProfileSize", 4}, {"bV5Reserved", 4},
};
constexpr ExtraField kOs2Fields[] = {
    {"usUnits", 2}, {"usReserved", 2}, {"usRecording", 2},     {"usRendering", 2},
    {"cSize1", 4},  {"cSize2", 4},     {"ulColorEncoding", 4}, {"ulIdentifier", 4},
};
// BITMAPV2INFOHEADER and BITMAPV3INFOHEADER (52 and 56 bytes) carry the first
// masks of BITMAPV4HEADER.
constexpr HeaderLayout kLayouts[] = {
    {40, {}},         {52, std::span(kV4Fields, 3)}, {56, std::span(kV4Fields, 4)}, {64, kOs2Fields}, {108, kV4Fields},
    {124, kV5Fields},
};

struct CodeName {
  std::uint32_t code;
  const char* name;
};
constexpr CodeName kColorSpaces[] = {
    {0, "LCS_CALIBRATED_RGB"},
    {0x73524742, "LCS_sRGB"},
    {0x57696E20, "LCS_WINDOWS_COLOR_SPACE"},
    {kProfileLinked, "PROFILE_LINKED"},
    {kProfileEmbedded, "PROFILE_EMBEDDED"},
};
constexpr CodeName kIntents[] = {
    {1, "LCS_GM_BUSINESS"},
    {2, "LCS_GM_GRAPHICS"},
    {4, "LCS_GM_IMAGES"},
    {8, "LCS_GM_ABS_COLORIMETRIC"},
};

const char* NameOf(std::span<const CodeName> table, std::uint32_t code) {
  for (const CodeName& row : table) {
    if (row.code == code) return row.name;
  }
  return nullptr;
}

}  // namespace

HeaderLayout LayoutOf(std::uint32_t biSize) {
  for (const HeaderLayout& known : kLayouts) {
    if (known.size == biSize) return known;
  }
  if (biSize >= kShortestOs2Header && biSize < kOs2HeaderSize) {
    return {biSize, biSize > kInfoHeaderSize ? std::span(kOs2Fields) : std::span<const ExtraField>()};
  }
  return kLayouts[0];
}

const char* MeaningOf(std::string_view field, std::uint32_t value) {
  if (field.ends_with("CSType")) return NameOf(kColorSpaces, value);
  if (field.ends_with("Intent")) return NameOf(kIntents, value);
  return nullptr;
}

}  // namespace voltane
