// Shared pieces of the LZH walk: the extended headers and the tables of names.
#pragma once

#include <cstdint>
#include <string_view>

#include "hpi/writer.h"
#include "reader.h"

namespace kavlore::lzh {

// What an extended header needs from the file header it belongs to.
struct HeaderContext {
  int headerLevel;  // 1, 2 or 3
  std::uint8_t osId;
  int groupLevel;  // level of the extended header's range item
};

// Walks the chain of extended headers whose first one has size `size`, adding the
// bytes they take to `taken`.
bool WalkExtendedHeaders(Reader& in, hpi::Writer& out, const HeaderContext& context, std::uint32_t size,
                         std::uint64_t& taken);

// True when a level 2 or 3 header lying within `length` bytes has a common
// extended header whose CRC-16 is that of the header.
bool HeaderCrcMatches(const std::uint8_t* header, std::size_t length);

void WriteMethodNotes(hpi::Writer& out, std::string_view method);
void WriteOsComment(hpi::Writer& out, std::uint8_t osId);
void WriteAttributeNotes(hpi::Writer& out, std::uint16_t attributes);
void WritePermissionNotes(hpi::Writer& out, std::uint16_t mode);

}  // namespace kavlore::lzh
