// Hand-made PNG, MNG and JNG files for the tests: a signature and chunks with
// big-endian lengths and the CRCs of their type and data.
#pragma once

#include <cstdint>
#include <string_view>

#include "hpi/crc32.h"
#include "plugin_harness.h"

namespace pendrix_test {

enum class Kind { Png, Mng, Jng };

class ChunkFile {
 public:
  explicit ChunkFile(Kind kind = Kind::Png) {
    static constexpr std::uint8_t kLead[] = {0x89, 0x8A, 0x8B};
    static constexpr std::string_view kName[] = {"PNG", "MNG", "JNG"};
    int k = static_cast<int>(kind);
    bytes_.U8(kLead[k]).Text(kName[k]).U8(0x0D).U8(0x0A).U8(0x1A).U8(0x0A);
  }
  // A chunk whose data is built by the caller.
  ChunkFile& Add(std::string_view type, const testing_support::Bytes& data) {
    const auto& d = static_cast<const std::vector<std::uint8_t>&>(data);
    bytes_.BE32(static_cast<std::uint32_t>(d.size())).Text(type);
    hpi::Crc32 crc;
    crc.Update(type.data(), type.size());
    crc.Update(d.data(), d.size());
    for (std::uint8_t b : d) bytes_.U8(b);
    bytes_.BE32(crc.Value());
    return *this;
  }
  ChunkFile& Add(std::string_view type) { return Add(type, testing_support::Bytes()); }
  // An IHDR of 1x1 pixels with the given colour type.
  ChunkFile& Ihdr(std::uint8_t colourType, std::uint8_t filter = 0) {
    return Add("IHDR", testing_support::Bytes().BE32(1).BE32(1).U8(8).U8(colourType).U8(0).U8(filter).U8(0));
  }
  ChunkFile& End() { return Add("IEND"); }
  testing_support::Bytes& Raw() { return bytes_; }
  operator const std::vector<std::uint8_t>&() const { return bytes_; }

 private:
  testing_support::Bytes bytes_;
};

inline std::string Wrong(std::string_view type) { return "[HPI_PLUGIN] Wrong " + std::string(type) + " chunk!"; }

}  // namespace pendrix_test
