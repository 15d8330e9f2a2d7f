// Hand-made archives for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_harness.h"

namespace kavlore_test {

using testing_support::Bytes;

enum class Descriptor { None, WithSignature, WithoutSignature };

struct ZipEntry {
  std::string name = "a.txt";
  std::string data = "hello";
  std::uint16_t flag = 0;
  std::uint16_t method = 0;
  std::vector<std::uint8_t> localExtra = {};
  std::vector<std::uint8_t> centralExtra = {};
  bool sizesInLocalHeader = true;  // false: zeros, as streaming writers leave them
  Descriptor descriptor = Descriptor::None;
  std::uint16_t madeBy = 0x031E;  // host Unix, version 3.0
  std::uint32_t external = 0;     // external file attributes
};

struct ZipShape {
  std::vector<ZipEntry> entries = {ZipEntry{}};
  std::string comment = {};
  std::vector<std::uint8_t> prefix = {};  // leading data; stored offsets count from the archive's start
  bool endRecord = true;
};

inline std::vector<std::uint8_t> MakeZip(const ZipShape& shape) {
  Bytes local;
  Bytes central;
  const std::uint32_t crc = 0x3610A686;  // not checked by the walker
  for (const ZipEntry& e : shape.entries) {
    std::uint32_t offset = static_cast<std::uint32_t>(local.Size());
    std::uint32_t size = static_cast<std::uint32_t>(e.data.size());
    std::uint32_t shown = e.sizesInLocalHeader ? size : 0;
    local.LE32(0x04034B50).LE16(20).LE16(e.flag).LE16(e.method).LE16(0x8765).LE16(0x4068);
    local.LE32(e.sizesInLocalHeader ? crc : 0).LE32(shown).LE32(shown);
    local.LE16(static_cast<std::uint32_t>(e.name.size())).LE16(static_cast<std::uint32_t>(e.localExtra.size()));
    local.Text(e.name).Vector().insert(local.Vector().end(), e.localExtra.begin(), e.localExtra.end());
    local.Text(e.data);
    if (e.descriptor == Descriptor::WithSignature) local.LE32(0x08074B50);
    if (e.descriptor != Descriptor::None) local.LE32(crc).LE32(size).LE32(size);
    central.LE32(0x02014B50).LE16(e.madeBy).LE16(20).LE16(e.flag).LE16(e.method).LE16(0x8765).LE16(0x4068);
    central.LE32(crc).LE32(size).LE32(size);
    central.LE16(static_cast<std::uint32_t>(e.name.size())).LE16(static_cast<std::uint32_t>(e.centralExtra.size()));
    central.LE16(0).LE16(0).LE16(0).LE32(e.external).LE32(offset);
    central.Text(e.name).Vector().insert(central.Vector().end(), e.centralExtra.begin(), e.centralExtra.end());
  }
  Bytes file;
  file.Vector() = shape.prefix;
  file.Vector().insert(file.Vector().end(), local.Vector().begin(), local.Vector().end());
  file.Vector().insert(file.Vector().end(), central.Vector().begin(), central.Vector().end());
  if (shape.endRecord) {
    auto count = static_cast<std::uint32_t>(shape.entries.size());
    file.LE32(0x06054B50).LE16(0).LE16(0).LE16(count).LE16(count);
    file.LE32(static_cast<std::uint32_t>(central.Size())).LE32(static_cast<std::uint32_t>(local.Size()));
    file.LE16(static_cast<std::uint32_t>(shape.comment.size())).Text(shape.comment);
  }
  return file;
}

// An extra field block.
inline std::vector<std::uint8_t> Block(std::uint16_t id, const std::vector<std::uint8_t>& data) {
  Bytes b;
  b.LE16(id).LE16(static_cast<std::uint32_t>(data.size()));
  b.Vector().insert(b.Vector().end(), data.begin(), data.end());
  return b;
}

}  // namespace kavlore_test
