// The PNG standard's chunks with fields of their own.
#include "image_header.h"
#include "pendrix.h"

namespace pendrix {
namespace {

using W = Width;

constexpr std::uint32_t kMaxPaletteBytes = 3 * 256;

// The bit depths the PNG standard allows for each colour type.
bool DepthFits(std::uint32_t depth, std::uint32_t colourType) {
  switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return true;  // the type's own comment says it is unknown
  }
}

bool Ihdr(Chunk& c) {
  std::uint32_t depth = 0;
  std::uint32_t colourType = 0;
  bool ok = c.Accept(c.Length() == 13) && c.Field("Width", W::U32) && c.Field("Height", W::U32) &&
            c.Field("Bit depth", W::U8, &depth) && c.Field("Color type", W::U8, &colourType, &kPngColourTypes);
  if (ok && !DepthFits(depth, colourType)) {
    c.Out().Note("bit depth %u is not allowed with color type %u", depth, colourType);
  }
  ok = ok && c.Field("Compression method", W::U8, nullptr, &kCompression) &&
       c.Field("Filter method", W::U8, nullptr, &kFilter) && c.Field("Interlace method", W::U8, nullptr, &kInterlace);
  c.State().colourType = static_cast<std::uint8_t>(colourType);
  c.State().inImage = true;
  return ok;
}

// An MNG's PLTE outside an image is the global palette, whatever image came before.
bool Plte(Chunk& c) {
  std::uint8_t type = c.State().colourType;
  bool global = c.State().mng && !c.State().inImage;
  if (!c.Accept(c.Length() % 3 == 0 && c.Length() <= kMaxPaletteBytes)) return false;
  if (!global && IsGray(type)) c.Out().WriteNote("a grayscale image has no palette");
  c.State().paletteEntries = c.Length() / 3;
  for (std::uint32_t i = 0; i < c.State().paletteEntries; ++i) {
    if (!c.Field(Indexed("Red[%u]", i), W::U8) || !c.Field(Indexed("Green[%u]", i), W::U8) ||
        !c.Field(Indexed("Blue[%u]", i), W::U8)) {
      return false;
    }
  }
  return true;
}

// A chunk whose length does not fit the image's colour type: shown as one range
// with a note, and the walk goes on.
bool Misfit(Chunk& c) {
  if (!c.Accept(true)) return false;
  c.Out().Note("%s does not fit color type %u", TypeText(c.Type()).chars, c.State().colourType);
  return c.Length() == 0 || c.Range("Data", c.Length());
}

constexpr FieldLayout kGray[] = {{"Gray", W::U16}};
constexpr FieldLayout kRgb[] = {{"Red", W::U16}, {"Green", W::U16}, {"Blue", W::U16}};

bool Trns(Chunk& c) {
  std::uint8_t type = c.State().colourType;
  std::uint32_t n = c.Length();
  if (type == 0 && n == 2) return c.Accept(true) && c.Fields(kGray);
  if (type == 2 && n == 6) return c.Accept(true) && c.Fields(kRgb);
  if (type != kPalette) return Misfit(c);
  if (!c.Accept(true)) return false;
  if (c.State().paletteEntries != 0 && n > c.State().paletteEntries) {
    c.Out().Note("%u entries for a palette of %u", n, c.State().paletteEntries);
  }
  for (std::uint32_t i = 0; i < n; ++i) {
    if (!c.Field(Indexed("Alpha[%u]", i), W::U8)) return false;
  }
  return true;
}

// A JNG's grayscale and colour types take the PNG layouts of their kind. An
// MNG's bKGD outside its images is always a 16-bit RGB colour.
bool Bkgd(Chunk& c) {
  std::uint8_t type = c.State().colourType;
  std::uint32_t n = c.Length();
  if (c.State().mng && !c.State().inImage) return c.Accept(n == 6) && c.Fields(kRgb);
  if (type == kPalette && n == 1) return c.Accept(true) && c.Field("Palette index", W::U8);
  if (IsGray(type) && n == 2) return c.Accept(true) && c.Fields(kGray);
  if (type != kPalette && !IsGray(type) && n == 6) return c.Accept(true) && c.Fields(kRgb);
  return Misfit(c);
}

// One byte per channel: gray, RGB (also for a palette), plus alpha.
bool Sbit(Chunk& c) {
  std::uint8_t type = c.State().colourType;
  std::uint32_t channels = (IsGray(type) ? 1 : IsColour(type) || type == kPalette ? 3 : 0) + (HasAlpha(type) ? 1 : 0);
  if (!c.Accept(channels != 0 && c.Length() == channels)) return false;
  std::uint8_t bits[4];
  std::uint32_t at = c.Position();
  if (!c.Read(bits, channels)) return false;
  c.Out().WriteItem("Significant bits", hpi::kFieldLevel, at, channels);
  for (std::uint32_t i = 0; i < channels; ++i) c.Out().WriteValue(1, &bits[i], hpi::ValueKind::Unsigned);
  return c.Out().Ok();
}

constexpr FieldLayout kChrm[] = {
    {"White Point x", W::U32}, {"White Point y", W::U32}, {"Red x", W::U32},  {"Red y", W::U32},
    {"Green x", W::U32},       {"Green y", W::U32},       {"Blue x", W::U32}, {"Blue y", W::U32},
};
bool Chrm(Chunk& c) { return c.Accept(c.Length() == 32) && c.Fields(kChrm); }

bool Gama(Chunk& c) { return c.Accept(c.Length() == 4) && c.Field("Image gamma", W::U32); }
bool Srgb(Chunk& c) { return c.Accept(c.Length() == 1) && c.Field("Rendering intent", W::U8); }

bool Hist(Chunk& c) {
  if (!c.Accept(c.Length() % 2 == 0)) return false;
  for (std::uint32_t i = 0; i < c.Length() / 2; ++i) {
    if (!c.Field(Indexed("Hist[%03u]", i), W::U16)) return false;
  }
  return true;
}

// Also pHYg, the MNG's global default, shown under the pHYs name.
constexpr FieldLayout kPhys[] = {
    {"X Pixels per unit", W::U32}, {"Y Pixels per unit", W::U32}, {"Unit specifier", W::U8}};
bool Phys(Chunk& c) { return c.Accept(c.Length() == 9, ChunkType("pHYs")) && c.Fields(kPhys); }

constexpr FieldLayout kTime[] = {{"Year", W::U16}, {"Month", W::U8},  {"Day", W::U8},
                                 {"Hour", W::U8},  {"Minute", W::U8}, {"Second", W::U8}};
bool Time(Chunk& c) { return c.Accept(c.Length() == 7) && c.Fields(kTime); }

bool Text(Chunk& c) { return c.Accept(true) && c.Keyword("Keyword") && c.Text("Text", c.Left()); }

// A keyword, a compression method and the compressed bytes (zTXt, iCCP).
bool Compressed(Chunk& c, const char* keyword, const char* data) {
  if (!c.Accept(true) || !c.Keyword(keyword)) return false;
  if (c.Left() < 1) return c.Fail();
  if (!c.Field("Compression method", W::U8)) return false;
  return c.Left() == 0 || c.Range(data, c.Left());
}
bool Ztxt(Chunk& c) { return Compressed(c, "Keyword", "Compressed text"); }
bool Iccp(Chunk& c) { return Compressed(c, "Profile name", "Compressed profile"); }

// Keyword, flag, method, language tag, translated keyword (each string ends in
// a zero byte) and the text, which may be empty: UTF-8 shown as text when the
// flag is 0, compressed bytes shown as a range otherwise.
bool Itxt(Chunk& c) {
  std::uint32_t compressed = 0;
  if (!c.Accept(true) || !c.Keyword("Keyword")) return false;
  if (c.Left() < 4) return c.Fail();
  if (!c.Field("Compression flag", W::U8, &compressed) || !c.Field("Compression method", W::U8)) return false;
  CString tag;
  if (!c.ReadCString(tag, c.Left())) return false;
  if (!tag.terminated) return c.Fail();
  if (tag.length > 0 && !c.TextField("Language tag", tag)) return false;
  CString translated;
  if (!c.ReadCString(translated, c.Left())) return false;
  if (!translated.terminated) return c.Fail();
  if (translated.length > 0 && !c.TextField("Translated keyword", translated)) return false;
  if (c.Left() == 0) return true;
  return compressed == 0 ? c.Text("Text", c.Left()) : c.Range("Text", c.Left());
}

// Only the depths of the PNG standard go without a remark.
constexpr Meaning kSampleDepthRows[] = {{8, nullptr}, {16, nullptr}};
constexpr Meanings kSampleDepths{kSampleDepthRows};

// Entries of 6 bytes for a sample depth of 8 and of 10 for 16. The PNG standard
// knows no other depth: such entries are one range, so the CRC is still found.
bool Splt(Chunk& c) {
  std::uint32_t depth = 0;
  if (!c.Accept(true) || !c.Keyword("Palette name")) return false;
  if (c.Left() < 1) return c.Fail();
  if (!c.Field("Sample depth", W::U8, &depth, &kSampleDepths)) return false;
  if (depth != 8 && depth != 16) return c.Left() == 0 || c.Range("Palette entries", c.Left());
  W sample = depth == 8 ? W::U8 : W::U16;
  std::uint32_t entrySize = depth == 8 ? 6 : 10;
  if (c.Left() % entrySize != 0) return c.Fail();
  for (std::uint32_t i = 0, n = c.Left() / entrySize; i < n; ++i) {
    if (!c.Field(Indexed("Red[%u]", i), sample) || !c.Field(Indexed("Green[%u]", i), sample) ||
        !c.Field(Indexed("Blue[%u]", i), sample) || !c.Field(Indexed("Alpha[%u]", i), sample) ||
        !c.Field(Indexed("Frequency[%u]", i), W::U16)) {
      return false;
    }
  }
  return true;
}

constexpr ChunkEntry kEntries[] = {
    {ChunkType("IHDR"), Ihdr}, {ChunkType("PLTE"), Plte}, {ChunkType("tRNS"), Trns}, {ChunkType("bKGD"), Bkgd},
    {ChunkType("sBIT"), Sbit}, {ChunkType("cHRM"), Chrm}, {ChunkType("gAMA"), Gama}, {ChunkType("sRGB"), Srgb},
    {ChunkType("hIST"), Hist}, {ChunkType("pHYs"), Phys}, {ChunkType("pHYg"), Phys}, {ChunkType("tIME"), Time},
    {ChunkType("tEXt"), Text}, {ChunkType("zTXt"), Ztxt}, {ChunkType("iCCP"), Iccp}, {ChunkType("iTXt"), Itxt},
    {ChunkType("sPLT"), Splt},
};

}  // namespace

std::span<const ChunkEntry> PngChunks() { return kEntries; }

}  // namespace pendrix
