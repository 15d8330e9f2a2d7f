// Builds an analysed-data stream record by record, for the reader's tests: a
// length byte, then the record class and level, then the payload.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "strataview/item_sink.h"
#include "strataview/stream_reader.h"

namespace support {

class RecordStream {
 public:
  RecordStream& Rec(int cls, int level, std::vector<std::uint8_t> payload) {
    bytes_.push_back(static_cast<std::uint8_t>(payload.size()));
    bytes_.push_back(static_cast<std::uint8_t>(cls << 4 | level));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
  }
  RecordStream& Text(int cls, int level, const std::string& s) { return Rec(cls, level, {s.begin(), s.end()}); }
  RecordStream& Name(int level, const std::string& s) { return Text(5, level, s); }
  RecordStream& Comment(const std::string& s) { return Text(6, 15, s); }
  RecordStream& Note(const std::string& s) { return Text(7, 15, s); }
  RecordStream& Offset(std::uint32_t v) { return Rec(0, 15, Le(v, 4)); }
  RecordStream& Size(std::uint32_t v) { return Rec(1, 15, Le(v, 4)); }
  RecordStream& Value16(std::uint16_t v) { return Rec(2, 15, Le(v, 2)); }
  RecordStream& GroupEnd(int level) { return Rec(0xE, level, {}); }
  RecordStream& Raw(std::vector<std::uint8_t> b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }

  std::uint32_t Length() const { return static_cast<std::uint32_t>(bytes_.size()); }
  const std::uint8_t* Bytes() const { return bytes_.data(); }
  int Read(strataview::ItemSink& sink) const { return strataview::BuildItemTree(Length(), Bytes(), sink); }

 private:
  static std::vector<std::uint8_t> Le(std::uint32_t v, int bytes) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return out;
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace support
