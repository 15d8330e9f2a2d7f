#include "strataview/stream_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>

#include "strataview/host_messages.h"
#include "strataview/value_format.h"

namespace strataview {
namespace {

using hpi::RecordClass;

constexpr int kSlots = 20;
constexpr int kNoteLevel = 16;  // a note hangs under the last level-15 item

bool IsFaultName(RecordClass cls, int level) { return cls == RecordClass::Name && level == hpi::kFaultLevel; }

int ImageOf(RecordClass cls, int level) {
  if (IsFaultName(cls, level)) return kImageFault;
  if (level == hpi::kRootLevel) return kImageDisk;
  if (level < hpi::kFieldLevel) return kImageFolder;
  if (level == hpi::kFieldLevel) return kImageTag;
  switch (cls) {
    case RecordClass::Offset:
    case RecordClass::LongHex: return kImageOffset;
    case RecordClass::Size: return kImageSize;
    case RecordClass::Note: return kImageNote;
    default: return kImageValue;
  }
}

// A text ends at its first NUL.
void AppendText(std::string& out, const std::uint8_t* bytes, std::size_t n) {
  const void* nul = std::memchr(bytes, 0, n);
  if (nul != nullptr) n = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes);
  out.append(reinterpret_cast<const char*>(bytes), n);
}

class Reader {
 public:
  Reader(std::uint32_t length, const std::uint8_t* stream, ItemSink& sink, StreamFaults* faults)
      : data_(stream), length_(length), sink_(sink), faults_(faults) {
    slots_.fill(kNoItem);
  }

  // The number of items the stream holds, counted up to its first fault or stop,
  // so that the sink can make room for them at once.
  std::size_t CountItems() const {
    std::size_t items = 0;
    for (std::uint32_t at = 0; length_ - at >= 2;) {
      std::uint16_t tag = static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
      at += 2;
      RecordClass cls = hpi::TagClass(tag);
      bool carriesBytes = hpi::IsTextClass(cls) || hpi::IsNumericClass(cls) || cls == RecordClass::Comment;
      if (!carriesBytes) {
        if (cls == RecordClass::GroupEnd) continue;
        break;
      }
      std::size_t n = hpi::TagLength(tag);
      if (length_ - at < n) break;
      at += static_cast<std::uint32_t>(n);
      if (cls != RecordClass::Comment) ++items;
    }
    return items;
  }

  int Run() {
    sink_.Reserve(CountItems());
    while (pos_ < length_) {
      if (length_ - pos_ < 2) return kMsgSyntaxError;
      std::uint16_t tag = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
      pos_ += 2;
      RecordClass cls = hpi::TagClass(tag);
      int level = hpi::TagLevel(tag);
      std::size_t n = hpi::TagLength(tag);
      text_.clear();
      if (hpi::IsTextClass(cls)) {
        if (length_ - pos_ < n) return kMsgSyntaxError;
        AppendText(text_, data_ + pos_, n);
        pos_ += n;
      } else if (hpi::IsNumericClass(cls)) {
        if (length_ - pos_ < n) return kMsgSyntaxError;
        if (!FormatValue(cls, n, data_ + pos_, text_)) return kMsgSyntaxError;
        NoteFaultRange(cls, n, data_ + pos_);
        pos_ += n;
      } else if (cls == RecordClass::GroupEnd) {
        ClearFrom(level);
        continue;
      } else if (cls == RecordClass::Stop) {
        return kMsgNoError;
      } else {
        return kMsgSyntaxError;  // a comment standing alone, or class C or D
      }
      if (int fault = TakeComment()) return fault;
      if (int fault = Place(cls, level)) return fault;
    }
    return kMsgNoError;
  }

 private:
  // Appends the comment that may follow a text or numeric record.
  int TakeComment() {
    if (pos_ == length_) return kMsgNoError;
    if (length_ - pos_ < 2) return kMsgSyntaxError;
    std::uint16_t tag = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    if (hpi::TagClass(tag) != RecordClass::Comment) return kMsgNoError;
    std::size_t n = hpi::TagLength(tag);
    pos_ += 2;
    if (length_ - pos_ < n) return kMsgSyntaxError;
    // A text that already fills the item keeps its bytes; the comment gets what room is left.
    if (text_.size() < kMaxItemTextWithComment) {
      text_ += ' ';
      AppendText(text_, data_ + pos_, n);
      if (text_.size() > kMaxItemTextWithComment) text_.resize(kMaxItemTextWithComment);
    }
    pos_ += n;
    return kMsgNoError;
  }

  // The offset and size records right after a fault item's name give its range.
  void NoteFaultRange(RecordClass cls, std::size_t n, const std::uint8_t* bytes) {
    if (faults_ == nullptr || faultAttributes_ == 0) return;
    --faultAttributes_;
    std::uint64_t value = 0;
    for (std::size_t i = n; i-- > 0;) value = value << 8 | bytes[i];
    if (cls == RecordClass::Offset) faults_->last.offset = value;
    if (cls == RecordClass::Size) faults_->last.size = value;
  }

  int Place(RecordClass cls, int level) {
    bool fault = IsFaultName(cls, level);
    if (cls == RecordClass::Name && !fault) faultAttributes_ = 0;
    // A note hangs under the last attribute; a fault item stands as a field.
    int effective = fault                                                         ? hpi::kFieldLevel
                    : (cls == RecordClass::Note && level == hpi::kAttributeLevel) ? kNoteLevel
                                                                                  : level;
    ItemHandle parent = kNoItem;
    for (int i = std::min(effective - 1, top_); i >= 0; --i) {
      if (slots_[i] != kNoItem) {
        parent = slots_[i];
        break;
      }
    }
    std::string_view shown(text_);
    if (shown.size() > kMaxItemText) shown = shown.substr(0, kMaxItemText);
    std::optional<ItemHandle> item = sink_.Insert(parent, shown, ImageOf(cls, level));
    if (!item) return kMsgTreeViewError;
    if (fault && faults_ != nullptr) {
      ++faults_->count;
      faults_->last = FaultItem{*item, text_, 0, 0};
      faultAttributes_ = 2;
    }
    ClearFrom(effective);
    slots_[effective] = *item;
    top_ = effective;
    return kMsgNoError;
  }

  // Forgets the last items of this level and all deeper ones.
  void ClearFrom(int level) {
    for (int i = level; i <= top_; ++i) slots_[i] = kNoItem;
    top_ = std::min(top_, level - 1);
  }

  const std::uint8_t* data_;
  std::uint32_t length_;
  std::uint32_t pos_ = 0;
  ItemSink& sink_;
  StreamFaults* faults_;
  int faultAttributes_ = 0;               // the fault item's offset and size records still to come
  std::array<ItemHandle, kSlots> slots_;  // the last item of each level, while it may take children
  int top_ = -1;                          // no slot above this one holds an item
  std::string text_;                      // the item being read, reused from record to record
};

}  // namespace

int BuildItemTree(std::uint32_t length, const std::uint8_t* stream, ItemSink& sink, StreamFaults* faults) {
  if (stream == nullptr || length == 0) return kMsgInvalidArgument;
  try {
    return Reader(length, stream, sink, faults).Run();
  } catch (const std::bad_alloc&) {
    return kMsgMalloc;
  }
}

}  // namespace strataview
