// Turns an analysed-data stream into items. The stream comes from a plug-in and
// is read as untrusted input: no length byte can take the reader past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "strataview/item_sink.h"

namespace strataview {

// Item texts hold at most 255 bytes; with a comment appended, at most 254.
inline constexpr std::size_t kMaxItemText = 255;
inline constexpr std::size_t kMaxItemTextWithComment = 254;

// The last fault item of a stream: the item made for it, the plug-in's message
// (Shift-JIS), and the range its offset and size records give.
struct FaultItem {
  ItemHandle item = kNoItem;
  std::string message;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};
struct StreamFaults {
  std::size_t count = 0;  // fault items met, warnings included
  FaultItem last;
};

// Returns 0 on success or the host message number of the fault: 3 for an empty
// stream, 7 for a syntax error, 11 when the sink refused an item, 2 when memory
// ran out in the reader. Items inserted before a fault stay. Fault items (a name
// record at level 15) become fields of the innermost open group, with
// kImageFault, and are counted in faults when it is given.
int BuildItemTree(std::uint32_t length, const std::uint8_t* stream, ItemSink& sink, StreamFaults* faults = nullptr);

}  // namespace strataview
