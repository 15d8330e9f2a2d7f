// MNG chunks made of repeated entries, names or flag-selected fields.
#include <cstdio>
#include <cstring>

#include "pendrix.h"

namespace pendrix {
namespace {

using W = Width;

constexpr Meaning kTerminationRows[] = {
    {1, "Decoder discretion, not cacheable"}, {2, "User discretion, not cacheable"},
    {3, "External signal, not cacheable"},    {4, "Deterministic, cacheable"},
    {5, "Decoder discretion, cacheable"},     {6, "User discretion, cacheable"},
    {7, "External signal, cacheable"},
};
constexpr Meanings kTermination{kTerminationRows};
constexpr FieldLayout kLoop[] = {
    {"Nest_level", W::U8},     {"Iteration count", W::U32}, {"Termination condition", W::U8, &kTermination},
    {"Iteration min", W::S32}, {"Iteration_max", W::S32},   {"Signal_number", W::S32},
};
bool Loop(Chunk& c) {
  if (!c.Accept(c.Length() >= 5)) return false;
  for (const FieldLayout& field : kLoop) {
    if (c.Left() < WidthBytes(field.width)) return c.Left() == 0 || c.Fail();
    if (!c.Field(field)) return false;
  }
  while (c.Left() >= 4) {
    if (!c.Field("Additional signal_number", W::S32)) return false;
  }
  return c.Left() == 0 || c.Fail();
}

constexpr Meaning kMagnMethodRows[] = {
    {0, "No magnification"},
    {1, "Replication"},
    {2, "Interpolation"},
    {3, "Closest pixel"},
    {4, "Interpolation(color),Closest pixel(alpha)"},
    {5, "Closest pixel(color),Interpolation(alpha)"},
};
constexpr Meanings kMagnMethod{kMagnMethodRows};
constexpr FieldLayout kMagn[] = {
    {"First magnified object id", W::U16},
    {"Last magnified object id", W::U16},
    {"X method", W::U8, &kMagnMethod},
    {"MX", W::U16},
    {"MY", W::U16},
    {"ML", W::U16},
    {"MR", W::U16},
    {"MT", W::U16},
    {"MB", W::U16},
    {"Y method", W::U8, &kMagnMethod},
};
constexpr FieldLayout kMagnPadded[] = {
    {"First magnified object id", W::U16},
    {"Last magnified object id", W::U16},
    {"X method", W::PaddedU8, &kMagnMethod},
    {"MX", W::U16},
    {"MY", W::U16},
    {"ML", W::U16},
    {"MR", W::U16},
    {"MT", W::U16},
    {"MB", W::U16},
    {"Y method", W::PaddedU8, &kMagnMethod},
};
// An earlier MNG draft gave each method two bytes; the lengths that only that
// layout can fill select it.
bool Magn(Chunk& c) {
  std::uint32_t n = c.Length();
  if (!c.Accept(n != 1 && n != 3 && n != 19 && n <= 20)) return false;
  bool padded = n == 20 || (n % 2 == 0 && n >= 6 && n <= 16);
  return c.FieldsWhileBytesRemain(padded ? kMagnPadded : kMagn);
}

bool Disc(Chunk& c) {
  if (!c.Accept(c.Length() % 2 == 0)) return false;
  while (c.Left() > 0) {
    if (!c.Field("Discard id", W::U16)) return false;
  }
  return true;
}

constexpr Meaning kTargetDeltaRows[] = {
    {0, "Directly"},
    {1, "Deltas from previous values in PAST chunk(same Destination_id)"},
    {2, "Deltas from previous values in PAST chunk(regardless of Destination_id"},
};
constexpr Meanings kTargetDelta{kTargetDeltaRows};
constexpr FieldLayout kPastHead[] = {{"Destination id", W::U16},
                                     {"Target delta type", W::U8, &kTargetDelta},
                                     {"Target x", W::S32},
                                     {"Target y", W::S32}};
constexpr Meaning kCompositionRows[] = {{0, "Composite over"}, {1, "Replace"}, {2, "Composite under"}};
constexpr Meanings kComposition{kCompositionRows};
constexpr Meaning kOrientationRows[] = {{0, "Same as source image"},
                                        {2, "Flipped left-right,then up-down"},
                                        {4, "Flipped left-right"},
                                        {6, "Flipped up-down"},
                                        {8, "Tiled with source image"}};
constexpr Meanings kOrientation{kOrientationRows};
constexpr Meaning kOriginRows[] = {{0, "Origin (0,0)"}, {1, "Origin (Target x,Target y)"}};
constexpr Meanings kOrigin{kOriginRows};
constexpr FieldLayout kPastSource[] = {
    {"Source id", W::U16},
    {"Composition mode", W::U8, &kComposition},
    {"Orientation", W::U8, &kOrientation},
    {"Offset origin", W::U8, &kOrigin},
    {"X offset", W::S32},
    {"Y offset", W::S32},
    {"Boundary origin", W::U8, &kOrigin},
    {"Left past cb", W::S32},
    {"Right past cb", W::S32},
    {"Top past cb", W::S32},
    {"Bottom past cb", W::S32},
};
constexpr std::uint32_t kPastSourceSize = 30;
bool Past(Chunk& c) {
  if (!c.Accept(c.Length() >= 41) || !c.Fields(kPastHead)) return false;
  while (c.Left() >= kPastSourceSize) {
    if (!c.Fields(kPastSource)) return false;
  }
  return c.Left() == 0 || c.Fail();
}

constexpr Meaning kFramingModeRows[] = {{0, "Do not change framing mode"}};
constexpr Meanings kFramingMode{kFramingModeRows, nullptr};
constexpr Meaning kChangeRows[] = {{0, "No"}, {1, "Yes(Only upcoming subframe)"}, {2, "Yes(Reset default)"}};
constexpr Meanings kChange{kChangeRows};
constexpr Meaning kTimeoutChangeRows[] = {
    {0, "No"},
    {1, "Deterministic(Only upcoming subframe)"},
    {2, "Deterministic(Reset default)"},
    {3, "Decoder-discretion(Only upcoming subframe)"},
    {4, "Decoder-discretion(Reset default)"},
    {5, "User-discretion(Only upcoming subframe)"},
    {6, "User-discretion(Reset default)"},
    {7, "External-signal(Only upcoming subframe)"},
    {8, "External-signal(Reset default)"},
};
constexpr Meanings kTimeoutChange{kTimeoutChangeRows};
constexpr FieldLayout kFramChanges[] = {
    {"Change interframe delay", W::U8, &kChange},
    {"Change timeout and termination", W::U8, &kTimeoutChange},
    {"Change layer clipping boundaries", W::U8, &kChange},
    {"Change sync id list", W::U8, &kChange},
};
constexpr Meaning kLayerDeltaRows[] = {{0, "Directly"}, {1, "Adding to previous subframe"}};
constexpr Meanings kLayerDelta{kLayerDeltaRows};
constexpr FieldLayout kFramClipping[] = {
    {"Layer clipping boundary delta type", W::U8, &kLayerDelta}, {"Left layer cb or Delta left layer cb", W::S32},
    {"Right layer cb or Delta right layer cb", W::S32},          {"Top layer cb or Delta top layer cb", W::S32},
    {"Bottom layer cb or Delta bottom layer cb", W::S32},
};
constexpr std::uint32_t kClippingSize = 17;
// The subframe name ends at a zero byte, or at the chunk's end when nothing follows it.
bool Fram(Chunk& c) {
  if (!c.Accept(true)) return false;
  if (c.Length() == 0) return true;
  if (!c.Field("Framing mode", W::U8, nullptr, &kFramingMode)) return false;
  CString name;
  if (!c.ReadCString(name, c.Left())) return false;
  if (name.length > 0 && !c.TextField("Subframe name", name)) return false;
  std::uint32_t flags[4] = {};
  for (std::size_t i = 0; i < std::size(kFramChanges) && c.Left() > 0; ++i) {
    if (!c.Field(kFramChanges[i], &flags[i])) return false;
  }
  if (flags[0] != 0 && !c.Field("Interframe delay", W::U32)) return false;
  if (flags[1] != 0 && !c.Field("Timeout", W::U32)) return false;
  if (flags[2] != 0 && c.Left() >= kClippingSize && !c.Fields(kFramClipping)) return false;
  while (flags[3] != 0 && c.Left() >= 4) {
    if (!c.Field("Sync id", W::U32)) return false;
  }
  return c.Left() == 0 || c.Fail();
}

constexpr Meaning kEntryTypeRows[] = {
    {0, "Segment(with nominal start time,nominal layer number,nominal frame number)"},
    {1, "Segment"},
    {2, "Subframe"},
    {3, "Exported image"},
};
constexpr Meanings kEntryType{kEntryTypeRows};
// An offset of 4 or 8 bytes; 8-byte values are Long items.
bool Offset(Chunk& c, std::string_view name, std::uint32_t size) {
  return size == 4 ? c.Field(name, W::U32) : c.LongField(name);
}
// Entries of a type, offsets where the type has them, and a name; the last
// entry's name may end with the chunk instead of a zero byte.
bool Save(Chunk& c) {
  std::uint32_t offsetSize = 0;
  if (!c.Accept(true)) return false;
  if (c.Length() == 0) return true;
  if (!c.Field("Offset size", W::U8, &offsetSize)) return false;
  if (offsetSize != 4 && offsetSize != 8) return c.Fail();
  while (c.Left() > 0) {
    std::uint32_t type = 0;
    if (!c.Field("Entry type", W::U8, &type, &kEntryType)) return false;
    if (type <= 1 && c.Left() >= offsetSize && !Offset(c, "Offset", offsetSize)) return false;
    if (type == 0 && c.Left() >= offsetSize + 8) {
      if (!Offset(c, "Nominal start time", offsetSize) || !c.Field("Nominal layer number", W::U32) ||
          !c.Field("Nominal frame number", W::U32)) {
        return false;
      }
    }
    CString name;
    if (!c.ReadCString(name, kMaxKeyword)) return false;
    if (name.length > 0 && !c.TextField("Entry name", name)) return false;
  }
  return true;
}

bool Seek(Chunk& c) {
  return c.Accept(c.Length() <= kMaxKeyword) && (c.Length() == 0 || c.Text("Segment name", c.Length()));
}

bool Expi(Chunk& c) {
  return c.Accept(c.Length() >= 2 && c.Length() <= 2 + kMaxKeyword) && c.Field("Snapshot id", W::U16) &&
         (c.Left() == 0 || c.Text("Snapshot name", c.Left()));
}

// Names separated by zero bytes, the last one ended by the chunk's end; each
// non-empty one a field.
bool NameList(Chunk& c, std::string_view label, std::uint32_t maxLength) {
  while (c.Left() > 0) {
    CString name;
    if (!c.ReadCString(name, maxLength)) return false;
    if (name.length > 0 && !c.TextField(label, name)) return false;
  }
  return true;
}

bool Need(Chunk& c) { return c.Accept(true) && NameList(c, "Keyword", kMaxKeyword); }

bool Drop(Chunk& c) {
  if (!c.Accept(c.Length() >= 4 && c.Length() % 4 == 0)) return false;
  while (c.Left() > 0) {
    if (!c.Text("Chunk name", 4)) return false;
  }
  return true;
}

// One chunk name and polarity, then keywords separated by zero bytes, the last
// one ending with the chunk (the MNG standard). Several keywords carry an index.
constexpr std::uint32_t kDbykMinimum = 6;
bool Dbyk(Chunk& c) {
  if (!c.Accept(c.Length() >= kDbykMinimum) || !c.Text("Chunk name", 4) || !c.Field("Polarity", W::U8)) return false;
  for (std::uint32_t i = 0; c.Left() > 0; ++i) {
    CString keyword;
    if (!c.ReadCString(keyword, c.Left())) return false;
    bool indexed = i > 0 || c.Left() > 0;
    if (keyword.length > 0 && !c.TextField(Indexed(indexed ? "Keywords[%u]" : "Keywords", i), keyword)) {
      return false;
    }
  }
  return true;
}

// Entries of a chunk type and an order type, 5 bytes each (the MNG standard).
constexpr Meaning kOrderRows[] = {{0, "anywhere"},
                                  {1, "after IDAT and/or JDAT or JDAA"},
                                  {2, "before IDAT and/or JDAT or JDAA"},
                                  {3, "before IDAT but not before PLTE"},
                                  {4, "before IDAT but not after PLTE"}};
constexpr Meanings kOrder{kOrderRows};
constexpr std::uint32_t kOrdrEntrySize = 5;
bool Ordr(Chunk& c) {
  if (!c.Accept(c.Length() % kOrdrEntrySize == 0)) return false;
  for (std::uint32_t i = 0, n = c.Length() / kOrdrEntrySize; i < n; ++i) {
    if (!c.Text(Indexed("Chunk type[%u]", i), 4) || !c.Field(Indexed("Order type[%u]", i), W::U8, nullptr, &kOrder)) {
      return false;
    }
  }
  return true;
}

constexpr Meaning kEventRows[] = {
    {1, "mouse enter"}, {2, "mouse move"}, {3, "mouse leave"}, {4, "mouse key down"}, {5, "mouse key up"}};
constexpr Meanings kEvent{kEventRows, "unknown event"};
constexpr Meaning kMaskRows[] = {
    {0, "no mask"},
    {1, "mask by frame"},
    {2, "mask by object"},
    {3, "mask by object using pixel-value"},
    {4, "mask by frame and object"},
    {5, "mask by frame and object using pixel-value"},
};
constexpr Meanings kMask{kMaskRows, "unknown mask type"};
constexpr const char* kFrameBounds[] = {"Left", "Right", "Top", "Bottom"};
bool Evnt(Chunk& c) {
  std::uint32_t mask = 0;
  if (!c.Accept(c.Length() != 4) || !c.Field("Event type", W::U8, nullptr, &kEvent) ||
      !c.Field("Mask type", W::U8, &mask, &kMask)) {
    return false;
  }
  bool frame = mask != 0 && mask != 2 && mask != 3;
  for (const char* bound : kFrameBounds) {
    if (frame && c.Left() >= 4 && !c.Field(bound, W::S32)) return false;
  }
  if (mask > 1 && !c.Field("Object id", W::U16)) return false;
  if (mask != 0 && mask != 1 && mask != 2 && mask != 4 && !c.Field("Index", W::U8)) return false;
  return NameList(c, "Segment name", c.Left());
}

constexpr Meaning kPaletteDeltaRows[] = {
    {0, "RGB samples"},         {1, "Delta RGB samples"}, {2, "Alpha samples"},
    {3, "Delta alpha samples"}, {4, "RGBA samples"},      {5, "Delta RGBA samples"},
};
constexpr Meanings kPaletteDelta{kPaletteDeltaRows};
std::uint32_t SampleSize(std::uint32_t deltaType) {
  return deltaType == 2 || deltaType == 3 ? 1 : deltaType >= 4 && deltaType <= 5 ? 4 : 3;
}

bool PpltSample(Chunk& c, std::uint32_t group, std::uint32_t index, std::uint32_t size) {
  std::uint8_t s[4];
  std::uint32_t at = c.Position();
  if (!c.Read(s, size)) return false;
  char value[40];
  if (size == 1) {
    std::snprintf(value, sizeof value, "0x%02x(%d)", s[0], s[0]);
  } else if (size == 3) {
    std::snprintf(value, sizeof value, "0x%06x(%d,%d,%d)", s[0] << 16 | s[1] << 8 | s[2], s[0], s[1], s[2]);
  } else {
    std::snprintf(value, sizeof value, "0x%08x(%d,%d,%d,%d)",
                  static_cast<unsigned>(s[0]) << 24 | s[1] << 16 | s[2] << 8 | s[3], s[0], s[1], s[2], s[3]);
  }
  c.Out().WriteItem(Indexed("Group %u sample[%u]", group, index), hpi::kFieldLevel, at, size);
  c.Out().WriteValue(static_cast<std::uint32_t>(std::strlen(value)), value, hpi::ValueKind::Text);
  return c.Out().Ok();
}

bool Pplt(Chunk& c) {
  std::uint32_t deltaType = 0;
  if (!c.Accept(c.Length() >= 6) || !c.Field("PPLT delta type", W::U8, &deltaType, &kPaletteDelta)) return false;
  std::uint32_t size = SampleSize(deltaType);
  for (std::uint32_t group = 0; c.Left() > 1; ++group) {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (!c.Field(Indexed("Group %u first index", group), W::U8, &first) ||
        !c.Field(Indexed("Group %u last index", group), W::U8, &last)) {
      return false;
    }
    if (first > last || c.Left() < (last - first + 1) * size) return c.Fail();
    for (std::uint32_t i = first; i <= last; ++i) {
      if (!PpltSample(c, group, i, size)) return false;
    }
  }
  return c.Left() == 0 || c.Fail();
}

constexpr ChunkEntry kEntries[] = {
    {ChunkType("LOOP"), Loop}, {ChunkType("MAGN"), Magn}, {ChunkType("DISC"), Disc}, {ChunkType("PAST"), Past},
    {ChunkType("FRAM"), Fram}, {ChunkType("SAVE"), Save}, {ChunkType("SEEK"), Seek}, {ChunkType("eXPI"), Expi},
    {ChunkType("nEED"), Need}, {ChunkType("DROP"), Drop}, {ChunkType("DBYK"), Dbyk}, {ChunkType("ORDR"), Ordr},
    {ChunkType("evNT"), Evnt}, {ChunkType("PPLT"), Pplt},
};

}  // namespace

std::span<const ChunkEntry> MngListChunks() { return kEntries; }

}  // namespace pendrix
