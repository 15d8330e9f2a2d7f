// Builds RIFF WAVE and AIFF files chunk by chunk for the tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin_harness.h"

namespace sorvane_test {

using testing_support::Bytes;
using ByteVector = std::vector<std::uint8_t>;

inline Bytes& Append(Bytes& b, const ByteVector& more) {
  b.Vector().insert(b.Vector().end(), more.begin(), more.end());
  return b;
}

// A chunk with its pad byte; size overrides the stored size.
inline ByteVector Chunk(std::string_view id, const ByteVector& data, bool bigEndian = false,
                        std::optional<std::uint32_t> size = std::nullopt) {
  Bytes b;
  b.Text(id);
  std::uint32_t stored = size.value_or(static_cast<std::uint32_t>(data.size()));
  bigEndian ? b.BE32(stored) : b.LE32(stored);
  Append(b, data);
  if (data.size() % 2 != 0) b.U8(0);
  return b.Vector();
}
inline ByteVector IffChunk(std::string_view id, const ByteVector& data,
                           std::optional<std::uint32_t> size = std::nullopt) {
  return Chunk(id, data, true, size);
}

// A container with a header of the right size.
inline ByteVector Container(std::string_view id, std::string_view type, std::initializer_list<ByteVector> chunks,
                            bool bigEndian) {
  Bytes body;
  body.Text(type);
  for (const ByteVector& chunk : chunks) Append(body, chunk);
  Bytes b;
  b.Text(id);
  bigEndian ? b.BE32(static_cast<std::uint32_t>(body.Size())) : b.LE32(static_cast<std::uint32_t>(body.Size()));
  return Append(b, body.Vector()).Vector();
}
inline ByteVector Wave(std::initializer_list<ByteVector> chunks) { return Container("RIFF", "WAVE", chunks, false); }
inline ByteVector Aiff(std::string_view type, std::initializer_list<ByteVector> chunks) {
  return Container("FORM", type, chunks, true);
}

inline ByteVector Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  std::uint16_t align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
  return Bytes().LE16(tag).LE16(channels).LE32(rate).LE32(rate * align).LE16(align).LE16(bits).Vector();
}
inline ByteVector PcmFmt(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  return Chunk("fmt ", Fmt(1, channels, rate, bits));
}

// COMM with a sample rate given as its 10 extended-precision bytes.
inline ByteVector Comm(std::uint16_t channels, std::uint32_t frames, std::uint16_t bits,
                       std::initializer_list<std::uint8_t> rate, const ByteVector& aifcPart = {}) {
  Bytes b;
  b.BE16(channels).BE32(frames).BE16(bits);
  for (std::uint8_t byte : rate) b.U8(byte);
  for (std::size_t i = rate.size(); i < 10; ++i) b.U8(0);
  return IffChunk("COMM", Append(b, aifcPart).Vector());
}

// Analyses the bytes under a file name of this plug-in's own, so that test
// programs of other plug-ins running at the same time use other scratch files.
inline testing_support::Analysed AnalyseSound(const ByteVector& bytes) {
  return testing_support::AnalyseBytes(bytes, "sorvane-test.bin");
}

inline ByteVector Text(std::string_view text) { return Bytes().Text(text).Vector(); }

// The first child of item whose text is text.
inline const strataview::Item* Child(const strataview::ItemTree& tree, const strataview::Item& item,
                                     std::string_view text) {
  for (strataview::ItemHandle c : item.children) {
    if (tree.At(c).text == text) return &tree.At(c);
  }
  return nullptr;
}

// The texts of a chunk heading's direct children that are items of their own.
inline std::vector<std::string> FieldNames(const strataview::ItemTree& tree, const strataview::Item& item) {
  std::vector<std::string> names;
  for (strataview::ItemHandle c : item.children) {
    if (!tree.At(c).children.empty()) names.emplace_back(tree.At(c).text);
  }
  return names;
}

// The notes written beneath an item's offset, size or values, in order.
inline std::vector<std::string> NotesOf(const strataview::ItemTree& tree, const strataview::Item& item) {
  std::vector<std::string> notes;
  for (strataview::ItemHandle c : item.children) {
    int image = tree.At(c).image;
    if (image != strataview::kImageValue && image != strataview::kImageOffset && image != strataview::kImageSize) {
      continue;
    }
    for (strataview::ItemHandle n : tree.At(c).children) notes.emplace_back(tree.At(n).text);
  }
  return notes;
}
inline std::string NoteOf(const strataview::ItemTree& tree, const strataview::Item& item) {
  auto notes = NotesOf(tree, item);
  return notes.empty() ? std::string() : notes.front();
}

}  // namespace sorvane_test
