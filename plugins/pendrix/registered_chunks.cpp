// Chunks of the PNG standard's later editions and of the registered extensions:
// HDR metadata (mDCV, cLLI), image offset and scale (oFFs, sCAL, pCAL), stereo
// layout (sTER), the GIF conversion chunks (gIFg, gIFx, gIFt), and the zlib
// header that opens an image's first IDAT.
#include "pendrix.h"

namespace pendrix {
namespace {

using W = Width;

// Chromaticities in units of 0.00002, luminances in units of 0.0001 cd/m².
constexpr FieldLayout kMdcv[] = {
    {"Red x", W::U16},
    {"Red y", W::U16},
    {"Green x", W::U16},
    {"Green y", W::U16},
    {"Blue x", W::U16},
    {"Blue y", W::U16},
    {"White Point x", W::U16},
    {"White Point y", W::U16},
    {"Max display luminance", W::U32},
    {"Min display luminance", W::U32},
};
bool Mdcv(Chunk& c) { return c.Accept(c.Length() == 24) && c.Fields(kMdcv); }

constexpr FieldLayout kClli[] = {{"Max content light level", W::U32}, {"Max frame-average light level", W::U32}};
bool Clli(Chunk& c) { return c.Accept(c.Length() == 8) && c.Fields(kClli); }

constexpr Meaning kOffsetUnitRows[] = {{0, "pixel"}, {1, "micrometre"}};
constexpr Meanings kOffsetUnits{kOffsetUnitRows};
constexpr FieldLayout kOffs[] = {
    {"X position", W::S32}, {"Y position", W::S32}, {"Unit specifier", W::U8, &kOffsetUnits}};
bool Offs(Chunk& c) { return c.Accept(c.Length() == 9) && c.Fields(kOffs); }

// Two ASCII floating-point numbers, the first ended by a zero byte.
constexpr Meaning kScaleUnitRows[] = {{1, "metre"}, {2, "radian"}};
constexpr Meanings kScaleUnits{kScaleUnitRows};
bool Scal(Chunk& c) {
  if (!c.Accept(c.Length() >= 4) || !c.Field("Unit specifier", W::U8, nullptr, &kScaleUnits)) return false;
  CString width;
  if (!c.ReadCString(width, c.Left()) || !c.TextField("Pixel width", width)) return false;
  return c.Left() == 0 || c.Text("Pixel height", c.Left());
}

constexpr Meaning kEquationRows[] = {
    {0, "linear"}, {1, "base-e exponential"}, {2, "arbitrary-base exponential"}, {3, "hyperbolic"}};
constexpr Meanings kEquations{kEquationRows};
bool Pcal(Chunk& c) {
  std::uint32_t count = 0;
  if (!c.Accept(true) || !c.Keyword("Calibration name") || !c.Field("Original zero", W::S32) ||
      !c.Field("Original max", W::S32) || !c.Field("Equation type", W::U8, nullptr, &kEquations) ||
      !c.Field("Number of parameters", W::U8, &count)) {
    return false;
  }
  CString unit;
  if (!c.ReadCString(unit, c.Left()) || !c.TextField("Unit name", unit)) return false;
  for (std::uint32_t i = 0; c.Left() > 0; ++i) {
    CString parameter;
    if (!c.ReadCString(parameter, c.Left()) || !c.TextField(Indexed("Parameter[%u]", i), parameter)) return false;
  }
  return true;
}

constexpr Meaning kStereoRows[] = {{0, "cross-fuse layout"}, {1, "diverging-fuse layout"}};
constexpr Meanings kStereo{kStereoRows};
bool Ster(Chunk& c) { return c.Accept(c.Length() == 1) && c.Field("Mode", W::U8, nullptr, &kStereo); }

constexpr FieldLayout kGifg[] = {{"Disposal Method", W::U8}, {"User Input Flag", W::U8}, {"Delay Time", W::U16}};
bool Gifg(Chunk& c) { return c.Accept(c.Length() == 4) && c.Fields(kGifg); }

bool Gifx(Chunk& c) {
  return c.Accept(c.Length() >= 11) && c.Text("Application Identifier", 8) && c.Range("Authentication Code", 3) &&
         (c.Left() == 0 || c.Range("Application Data", c.Left()));
}

constexpr FieldLayout kGift[] = {
    {"Text Grid Left", W::U32},   {"Text Grid Top", W::U32},       {"Text Grid Width", W::U32},
    {"Text Grid Height", W::U32}, {"Character Cell Width", W::U8}, {"Character Cell Height", W::U8},
    {"Foreground Red", W::U8},    {"Foreground Green", W::U8},     {"Foreground Blue", W::U8},
    {"Background Red", W::U8},    {"Background Green", W::U8},     {"Background Blue", W::U8},
};
bool Gift(Chunk& c) {
  return c.Accept(c.Length() >= 24) && c.Fields(kGift) && (c.Left() == 0 || c.Text("Plain Text Data", c.Left()));
}

// The two bytes of the zlib header (RFC 1950) at the start of an image's data:
// the method and window size, then the check bits, FDICT and the level.
void CmfRemark(hpi::Writer& out, std::uint32_t cmf) {
  if ((cmf & 0x0F) != 8) {
    out.Comment("compression method %u (not deflate)", cmf & 0x0Fu);
    return;
  }
  out.Comment("deflate, %u-byte window", 1u << ((cmf >> 4) + 8));
}
void FlgRemark(hpi::Writer& out, std::uint32_t cmf, std::uint32_t flg) {
  constexpr const char* kLevels[] = {"fastest", "fast", "default", "maximum"};
  out.Comment("level %s%s", kLevels[flg >> 6], (flg & 0x20) != 0 ? ", FDICT set" : "");
  if ((cmf * 256 + flg) % 31 != 0) out.WriteNote("CMF and FLG fail the check (a multiple of 31)");
}

bool Idat(Chunk& c) {
  if (!c.Accept(true)) return false;
  WalkState& state = c.State();
  bool first = !state.imageDataStarted;
  state.imageDataStarted = true;
  if (first && c.Length() >= 2) {
    std::uint32_t cmf = 0;
    std::uint32_t flg = 0;
    if (!c.Field("CMF", W::U8, &cmf)) return false;
    CmfRemark(c.Out(), cmf);
    if (!c.Field("FLG", W::U8, &flg)) return false;
    FlgRemark(c.Out(), cmf, flg);
  }
  return c.Left() == 0 || c.Range("Data", c.Left());
}

constexpr ChunkEntry kEntries[] = {
    {ChunkType("mDCV"), Mdcv}, {ChunkType("cLLI"), Clli}, {ChunkType("oFFs"), Offs}, {ChunkType("sCAL"), Scal},
    {ChunkType("pCAL"), Pcal}, {ChunkType("sTER"), Ster}, {ChunkType("gIFg"), Gifg}, {ChunkType("gIFx"), Gifx},
    {ChunkType("gIFt"), Gift}, {ChunkType("IDAT"), Idat},
};

}  // namespace

std::span<const ChunkEntry> RegisteredChunks() { return kEntries; }

}  // namespace pendrix
