// Hand-made JPEG and TIFF files for the tests of both plug-ins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tiffjpeg_test {

using Blob = std::vector<std::uint8_t>;

// A TIFF directory entry; values are elements (a rational is two elements).
struct Entry {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::vector<std::uint32_t> values = {};
  int pointsTo = -1;      // the value is the offset of that directory
  int pointsToBlob = -1;  // the value is the offset of that blob
  std::string text = {};  // an ASCII value (count bytes, zero-padded)
};

struct Directory {
  std::vector<Entry> entries;
  bool inChain = true;  // linked from the header or the previous directory
};

inline std::uint32_t UnitOf(std::uint16_t type) {
  constexpr std::uint32_t kUnits[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type < 13 ? kUnits[type] : 1;
}

// Lays out the header, then each directory followed by its out-of-line values,
// then the blobs. Offsets() gives each directory's position after Build.
class TiffBuilder {
 public:
  explicit TiffBuilder(bool bigEndian = false) : big_(bigEndian) {}

  Blob Build(const std::vector<Directory>& dirs, const std::vector<Blob>& blobs = {}) {
    offsets_.clear();
    std::uint32_t at = 8;
    for (const Directory& d : dirs) {
      offsets_.push_back(at);
      at += 2 + 12 * static_cast<std::uint32_t>(d.entries.size()) + 4;
      for (const Entry& e : d.entries) at += OutOfLine(e);
    }
    std::vector<std::uint32_t> blobAt;
    for (const Blob& b : blobs) {
      blobAt.push_back(at);
      at += static_cast<std::uint32_t>(b.size());
    }
    out_.clear();
    out_.push_back(big_ ? 'M' : 'I');
    out_.push_back(big_ ? 'M' : 'I');
    Put(2, 42);
    int first = -1;
    for (std::size_t i = 0; i < dirs.size() && first < 0; ++i) {
      if (dirs[i].inChain) first = static_cast<int>(i);
    }
    Put(4, first < 0 ? 0 : offsets_[first]);
    for (std::size_t i = 0; i < dirs.size(); ++i) {
      const Directory& d = dirs[i];
      std::uint32_t data = offsets_[i] + 2 + 12 * static_cast<std::uint32_t>(d.entries.size()) + 4;
      Blob outside;
      Put(2, static_cast<std::uint32_t>(d.entries.size()));
      for (const Entry& e : d.entries) {
        Put(2, e.tag);
        Put(2, e.type);
        Put(4, e.count);
        Blob value = Encode(e, blobAt);
        if (value.size() <= 4) {
          value.resize(4);
          out_.insert(out_.end(), value.begin(), value.end());
        } else {
          Put(4, data + static_cast<std::uint32_t>(outside.size()));
          if (value.size() % 2) value.push_back(0);
          outside.insert(outside.end(), value.begin(), value.end());
        }
      }
      std::uint32_t next = 0;
      for (std::size_t j = i + 1; j < dirs.size() && d.inChain; ++j) {
        if (dirs[j].inChain) {
          next = offsets_[j];
          break;
        }
      }
      Put(4, next);
      out_.insert(out_.end(), outside.begin(), outside.end());
    }
    for (const Blob& b : blobs) out_.insert(out_.end(), b.begin(), b.end());
    return out_;
  }

  const std::vector<std::uint32_t>& Offsets() const { return offsets_; }
  // Position of a directory's next-IFD offset.
  std::uint32_t NextField(std::size_t dir, std::size_t entries) const {
    return offsets_[dir] + 2 + 12 * static_cast<std::uint32_t>(entries);
  }
  void Patch32(Blob& b, std::uint32_t at, std::uint32_t v) const {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(big_ ? v >> (24 - 8 * i) : v >> (8 * i));
  }

 private:
  std::uint32_t OutOfLine(const Entry& e) const {
    std::uint32_t size = UnitOf(e.type) * e.count;
    return size <= 4 ? 0 : size + size % 2;
  }

  void Put(int width, std::uint32_t v) { Append(out_, width, v); }

  void Append(Blob& b, int width, std::uint32_t v) const {
    for (int i = 0; i < width; ++i) {
      int shift = big_ ? 8 * (width - 1 - i) : 8 * i;
      b.push_back(static_cast<std::uint8_t>(v >> shift));
    }
  }

  Blob Encode(const Entry& e, const std::vector<std::uint32_t>& blobAt) const {
    Blob b;
    if (e.type == 2) {
      b.assign(e.text.begin(), e.text.end());
      b.resize(e.count);
      return b;
    }
    std::vector<std::uint32_t> values = e.values;
    if (e.pointsTo >= 0) values = {offsets_[e.pointsTo]};
    if (e.pointsToBlob >= 0) values = {blobAt[e.pointsToBlob]};
    int width = static_cast<int>(UnitOf(e.type) == 8 ? 4 : UnitOf(e.type));
    for (std::uint32_t v : values) Append(b, width, v);
    b.resize(std::max<std::size_t>(b.size(), UnitOf(e.type) * e.count));
    return b;
  }

  bool big_;
  std::vector<std::uint32_t> offsets_;
  Blob out_;
};

// JPEG pieces.
inline Blob Marker(std::uint8_t code) { return {0xFF, code}; }

inline Blob JpegSegment(std::uint8_t marker, const Blob& payload) {
  std::size_t length = payload.size() + 2;
  Blob b{0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

inline Blob Join(std::initializer_list<Blob> parts) {
  Blob b;
  for (const Blob& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

// SOF0 of an 8x8 one-component frame.
inline Blob Sof0() { return JpegSegment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}); }
// DQT with one 8-bit table 0.
inline Blob Dqt() {
  Blob p(65, 1);
  p[0] = 0x00;
  return JpegSegment(0xDB, p);
}
// DHT with one DC table 0 of two symbols.
inline Blob Dht() {
  Blob p(17, 0);
  p[0] = 0x00;
  p[1] = 2;
  p.push_back(0);
  p.push_back(1);
  return JpegSegment(0xC4, p);
}
// SOS of a one-component baseline scan.
inline Blob Sos() { return JpegSegment(0xDA, {1, 1, 0x00, 0, 63, 0}); }

// "Exif", two zero bytes and a TIFF structure, as an APP1 segment.
inline Blob ExifApp1(const Blob& tiff) {
  Blob payload{'E', 'x', 'i', 'f', 0, 0};
  payload.insert(payload.end(), tiff.begin(), tiff.end());
  return JpegSegment(0xE1, payload);
}

// A whole baseline JPEG: SOI, the given segments, tables, frame, scan, EOI.
inline Blob Jpeg(const Blob& segments = {}, const Blob& scan = {0x12, 0x34, 0xFF, 0x00, 0x56}) {
  return Join({Marker(0xD8), segments, Dqt(), Sof0(), Dht(), Sos(), scan, Marker(0xD9)});
}

}  // namespace tiffjpeg_test
