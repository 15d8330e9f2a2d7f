// Field meanings shared by the image headers (IHDR, BASI, JHDR, PROM), and how
// the chunks that depend on the colour type group the PNG and JNG values.
#pragma once

#include <cstdint>

#include "chunk.h"

namespace pendrix {

inline constexpr Meaning kPngColourTypeRows[] = {
    {0, "Grayscale"}, {2, "RGB"}, {3, "Paletted RGB"}, {4, "Grayscale + alpha"}, {6, "RGB + alpha"},
};
inline constexpr Meanings kPngColourTypes{kPngColourTypeRows};

inline constexpr Meaning kJngColourTypeRows[] = {
    {8, "Grayscale"},
    {10, "Color(YCbCr)"},
    {12, "Grayscale + alpha"},
    {14, "Color(YCbCr) + alpha"},
};
inline constexpr Meanings kJngColourTypes{kJngColourTypeRows};

inline constexpr Meaning kCompressionRows[] = {{0, "deflate/inflate compression"}};
inline constexpr Meanings kCompression{kCompressionRows};
inline constexpr Meaning kFilterRows[] = {{0, "NONE"}, {1, "SUB"}, {2, "UP"}, {3, "AVERAGE"}, {4, "PAETH"}};
inline constexpr Meanings kFilter{kFilterRows, nullptr};
inline constexpr Meaning kInterlaceRows[] = {{0, "NO INTERLACING"}, {1, "Adam7"}};
inline constexpr Meanings kInterlace{kInterlaceRows};

inline constexpr std::uint8_t kPalette = 3;

// JNG's types are PNG's plus 8: grayscale 8 and 12, colour 10 and 14.
inline bool IsGray(std::uint8_t type) { return type == 0 || type == 4 || type == 8 || type == 12; }
inline bool IsColour(std::uint8_t type) { return type == 2 || type == 6 || type == 10 || type == 14; }
inline bool HasAlpha(std::uint8_t type) { return type == 4 || type == 6 || type == 12 || type == 14; }

}  // namespace pendrix
