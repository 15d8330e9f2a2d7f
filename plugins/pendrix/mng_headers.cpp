// MNG and JNG chunks of fixed layouts, or of layouts whose later fields are
// present only when the chunk is long enough.
#include "image_header.h"
#include "pendrix.h"

namespace pendrix {
namespace {

using W = Width;

bool OneOf(std::uint32_t length, std::initializer_list<std::uint32_t> lengths) {
  for (std::uint32_t n : lengths) {
    if (n == length) return true;
  }
  return false;
}

constexpr FieldLayout kMhdr[] = {
    {"Frame width", W::U32},         {"Frame height", W::U32},        {"Ticks per second", W::U32},
    {"Nominal layer count", W::U32}, {"Nominal frame count", W::U32}, {"Nominal play time", W::U32},
    {"Simplicity profile", W::U32},
};
bool Mhdr(Chunk& c) { return c.Accept(c.Length() == 28) && c.Fields(kMhdr); }

constexpr Meaning kJpegCompressionRows[] = {{8, "ISO-10918-1 Huffman-coded baseline JPEG"}};
constexpr Meanings kJpegCompression{kJpegCompressionRows};
constexpr Meaning kJpegInterlaceRows[] = {{0, "Sequential JPEG, single scan"}, {8, "Progressive JPEG"}};
constexpr Meanings kJpegInterlace{kJpegInterlaceRows};
constexpr Meaning kAlphaCompressionRows[] = {{0, "PNG grayscale IDAT format"}, {8, "JNG 8-bit grayscale JDAA format"}};
constexpr Meanings kAlphaCompression{kAlphaCompressionRows};
constexpr Meaning kAlphaFilterRows[] = {{0, "Adaptive PNG or not applicable(JPEG)"}};
constexpr Meanings kAlphaFilter{kAlphaFilterRows};
constexpr Meaning kAlphaInterlaceRows[] = {{0, "Noninterlaced PNG or sequential single-scan JPEG"}};
constexpr Meanings kAlphaInterlace{kAlphaInterlaceRows};
constexpr FieldLayout kJhdrRest[] = {
    {"Image sample depth", W::U8},
    {"Image compression method", W::U8, &kJpegCompression},
    {"Image interlace method", W::U8, &kJpegInterlace},
    {"Alpha sample depth", W::U8},
    {"Alpha compression method", W::U8, &kAlphaCompression},
    {"Alpha filter method", W::U8, &kAlphaFilter},
    {"Alpha interlace method", W::U8, &kAlphaInterlace},
};
bool Jhdr(Chunk& c) {
  std::uint32_t colourType = 0;
  if (!c.Accept(c.Length() == 16) || !c.Field("Width", W::U32) || !c.Field("Height", W::U32) ||
      !c.Field("Color type", W::U8, &colourType, &kJngColourTypes)) {
    return false;
  }
  c.State().colourType = static_cast<std::uint8_t>(colourType);
  c.State().inImage = true;
  return c.Fields(kJhdrRest);
}

constexpr FieldLayout kBasiHead[] = {
    {"Width", W::U32},
    {"Height", W::U32},
    {"Sample depth", W::U8},
    {"Color type", W::U8, &kPngColourTypes},
    {"Compression method", W::U8, &kCompression},
    {"Filter method", W::U8, &kFilter},
    {"Interlace method", W::U8, &kInterlace},
};
constexpr Meaning kViewableRows[] = {{0, "Not viewable"}};
constexpr Meanings kViewable{kViewableRows, "Viewable"};
constexpr FieldLayout kBasiGray[] = {{"Gray_sample", W::U16},
                                     {"Green_sample", W::U16},
                                     {"Blue sample", W::U16},
                                     {"Alpha sample", W::U16},
                                     {"Viewable", W::U8, &kViewable}};
constexpr FieldLayout kBasiColour[] = {{"Red_sample", W::U16},
                                       {"Green_sample", W::U16},
                                       {"Blue sample", W::U16},
                                       {"Alpha sample", W::U16},
                                       {"Viewable", W::U8, &kViewable}};
constexpr std::size_t kBasiColourType = 3;
bool Basi(Chunk& c) {
  std::uint32_t type = 0;
  auto head = std::span(kBasiHead);
  c.State().inImage = true;
  if (!c.Accept(c.Length() >= 13) || !c.Fields(head.first(kBasiColourType)) || !c.Field(head[kBasiColourType], &type) ||
      !c.Fields(head.subspan(kBasiColourType + 1))) {
    return false;
  }
  return c.FieldsWhileBytesRemain(type == 0 || type == 4 ? kBasiGray : kBasiColour);
}

constexpr Meaning kMandatoryRows[] = {
    {0, "Advisory(background color and image)"},
    {1, "Mandatory(background color),Advisory(background image)"},
    {2, "Advisory(background color),Mandatory(background image)"},
    {3, "Mandatory(background color and image)"},
};
constexpr Meanings kMandatory{kMandatoryRows};
constexpr Meaning kTilingRows[] = {{0, "Do not tile"}, {1, "Tile the background "}};
constexpr Meanings kTiling{kTilingRows};
constexpr FieldLayout kBack[] = {
    {"Red background", W::U16},      {"Green background", W::U16},
    {"Blue background", W::U16},     {"Mandatory background", W::U8, &kMandatory},
    {"Background image id", W::U16}, {"Background tiling", W::U8, &kTiling},
};
bool Back(Chunk& c) { return c.Accept(OneOf(c.Length(), {6, 7, 9, 10})) && c.FieldsWhileBytesRemain(kBack); }

constexpr Meaning kDefiShowRows[] = {{0, "Potentially visible"}, {1, "Not potentially visible"}};
constexpr Meanings kDefiShow{kDefiShowRows};
constexpr Meaning kDefiConcreteRows[] = {{0, "Abstract"}, {1, "Concrete"}};
constexpr Meanings kDefiConcrete{kDefiConcreteRows};
constexpr FieldLayout kDefi[] = {
    {"Object id", W::U16},
    {"Do not show", W::U8, &kDefiShow},
    {"Concrete flag", W::U8, &kDefiConcrete},
    {"X location", W::S32},
    {"Y location", W::S32},
    {"Left cb", W::S32},
    {"Right cb", W::S32},
    {"Top cb", W::S32},
    {"Bottom cb", W::S32},
};
bool Defi(Chunk& c) { return c.Accept(c.Length() >= 2) && c.FieldsWhileBytesRemain(kDefi); }

constexpr Meaning kLocationDeltaRows[] = {{0, "Directly"}, {1, "Adding to parent location"}};
constexpr Meanings kLocationDelta{kLocationDeltaRows};
constexpr Meaning kCloneTypeRows[] = {{0, "Full clon"}, {1, "Partial clone"}, {2, "Renumber object"}};
constexpr Meanings kCloneType{kCloneTypeRows};
constexpr Meaning kCloneShowRows[] = {{0, "Potentially visible and display"}, {1, "Not potentially visible"}};
constexpr Meanings kCloneShow{kCloneShowRows};
constexpr Meaning kCloneConcreteRows[] = {{0, "Same as parent"}, {1, "Abstract"}};
constexpr Meanings kCloneConcrete{kCloneConcreteRows};
constexpr FieldLayout kClon[] = {
    {"Source id", W::U16},
    {"Clone id", W::U16},
    {"Clone type", W::U8, &kCloneType},
    {"Do not show", W::U8, &kCloneShow},
    {"Concrete flag", W::U8, &kCloneConcrete},
    {"Loca delta type", W::U8, &kLocationDelta},
    {"X location or delta X location", W::S32},
    {"Y location or delta Y location", W::S32},
};
bool Clon(Chunk& c) { return c.Accept(OneOf(c.Length(), {4, 5, 6, 7, 16})) && c.FieldsWhileBytesRemain(kClon); }

constexpr FieldLayout kMove[] = {
    {"First object", W::U16},
    {"Last object", W::U16},
    {"Location delta type", W::U8, &kLocationDelta},
    {"X location or delta X location", W::S32},
    {"Y location or delta Y location", W::S32},
};
bool Move(Chunk& c) { return c.Accept(c.Length() == 13) && c.Fields(kMove); }

constexpr Meaning kClipDeltaRows[] = {{0, "Directly"}, {1, "Adding to previous values"}};
constexpr Meanings kClipDelta{kClipDeltaRows};
constexpr FieldLayout kClip[] = {
    {"First object", W::U16},
    {"Last object", W::U16},
    {"Clip delta type", W::U8, &kClipDelta},
    {"Left cb or delta left cb", W::S32},
    {"Right cb or delta right cb", W::S32},
    {"Top cb or delta top cb", W::S32},
    {"Bottom cb or delta bottom cb", W::S32},
};
bool Clip(Chunk& c) { return c.Accept(c.Length() == 21) && c.Fields(kClip); }

constexpr Meaning kShowModeRows[] = {
    {0, "Potentially visible and display"},
    {1, "Invisible"},
    {2, "Do not change Do_not_show flag"},
    {3, "Potentially visible"},
    {4, "Toggle Do_not_show flag,Display potentially visible image"},
    {5, "Toggle Do_not_show flag"},
    {6, "Potentially visible and display(All images in range)"},
    {7, "Potentially visible(Next image in range)"},
};
constexpr Meanings kShowMode{kShowModeRows};
constexpr FieldLayout kShow[] = {{"First image", W::U16}, {"Last image", W::U16}, {"Show mode", W::U8, &kShowMode}};
bool Show(Chunk& c) { return c.Accept(OneOf(c.Length(), {2, 4, 5})) && c.FieldsWhileBytesRemain(kShow); }

constexpr Meaning kTermActionRows[] = {
    {0, "Show the last frame indefinitely"},
    {1, "Cease displaying anything"},
    {2, "Show the first frame after the TERM chunk"},
    {3, "Repeat between TERM chunk and MEND chunk"},
};
constexpr Meanings kTermAction{kTermActionRows};
constexpr Meanings kAfterIterations{std::span(kTermActionRows, 3)};
constexpr std::uint32_t kRepeat = 3;
constexpr FieldLayout kTermRepeat[] = {
    {"Action after iterations", W::U8, &kAfterIterations}, {"Delay", W::U32}, {"Iteration max", W::U32}};
// The iteration fields belong to action 3; a 10-byte TERM with another action
// still shows them, so its CRC is read where it stands.
bool Term(Chunk& c) {
  std::uint32_t action = 0;
  if (!c.Accept(c.Length() == 1 || c.Length() == 10) || !c.Field("Termination_action", W::U8, &action, &kTermAction)) {
    return false;
  }
  if (c.Length() == 1) return action != kRepeat || c.Fail();
  return c.Fields(kTermRepeat);
}

bool Endl(Chunk& c) { return c.Accept(c.Length() == 1) && c.Field("Nest_level", W::U8); }

constexpr Meaning kImageTypeRows[] = {{0, "Unspecified"}, {1, "PNG"}, {2, "JNG"}};
constexpr Meanings kImageType{kImageTypeRows};
constexpr Meaning kDeltaTypeRows[] = {
    {0, "Entire image replacement"},
    {1, "Block pixel addition(mod 2^sample_depth)"},
    {2, "Block alpha addition(mod 2^sample_depth)"},
    {3, "Block color addition"},
    {4, "Block pixel replacement"},
    {5, "Block alpha replacement"},
    {6, "Block color replacement"},
    {7, "No change"},
};
constexpr Meanings kDeltaType{kDeltaTypeRows};
constexpr FieldLayout kDhdr[] = {
    {"Object id", W::U16},        {"Image type", W::U8, &kImageType}, {"Delta_type", W::U8, &kDeltaType},
    {"Block width", W::S32},      {"Block height", W::S32},           {"Block X location", W::S32},
    {"Block Y location", W::S32},
};
bool Dhdr(Chunk& c) {
  c.State().inImage = true;
  return c.Accept(OneOf(c.Length(), {4, 12, 20})) && c.FieldsWhileBytesRemain(kDhdr);
}

constexpr Meaning kFillRows[] = {{0, "Left-bit-replication"}, {1, "Zero fill"}};
constexpr Meanings kFill{kFillRows};
constexpr FieldLayout kProm[] = {
    {"New color type", W::U8, &kPngColourTypes}, {"New sample depth", W::U8}, {"Fill method", W::U8, &kFill}};
bool Prom(Chunk& c) { return c.Accept(c.Length() == 3) && c.Fields(kProm); }

constexpr Meaning kPriorityDeltaRows[] = {{0, "Directly"}, {1, "Adding to previous values(mod 256)"}};
constexpr Meanings kPriorityDelta{kPriorityDeltaRows};
constexpr FieldLayout kFpri[] = {{"fPRI delta type", W::U8, &kPriorityDelta}, {"Priority or delta priority", W::S8}};
bool Fpri(Chunk& c) { return c.Accept(c.Length() == 2) && c.Fields(kFpri); }

constexpr ChunkEntry kEntries[] = {
    {ChunkType("MHDR"), Mhdr}, {ChunkType("JHDR"), Jhdr}, {ChunkType("BASI"), Basi}, {ChunkType("BACK"), Back},
    {ChunkType("DEFI"), Defi}, {ChunkType("CLON"), Clon}, {ChunkType("MOVE"), Move}, {ChunkType("CLIP"), Clip},
    {ChunkType("SHOW"), Show}, {ChunkType("TERM"), Term}, {ChunkType("ENDL"), Endl}, {ChunkType("DHDR"), Dhdr},
    {ChunkType("PROM"), Prom}, {ChunkType("fPRI"), Fpri},
};

}  // namespace

std::span<const ChunkEntry> MngHeaderChunks() { return kEntries; }

}  // namespace pendrix
