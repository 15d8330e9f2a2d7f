#include "item_writers.h"

#include <new>

#include "json.h"
#include "strataview/stream_reader.h"
#include "text.h"

namespace cli {
namespace {

constexpr std::size_t kFlushBytes = 1 << 20;

}  // namespace

bool RootName::Matches(std::string_view text) const {
  return !shown.empty() && !text.empty() && given.starts_with(text) &&
         (text.size() == given.size() || text.size() == strataview::kMaxItemText);
}

// When memory runs out the item is refused and the reader stops.
std::optional<ItemHandle> OpenPath::Insert(ItemHandle parent, std::string_view text, int image) try {
  while (!path_.empty() && path_.back() != parent) {
    Close();
    path_.pop_back();
  }
  Open(text, image);
  path_.push_back(next_);
  return next_++;
} catch (const std::bad_alloc&) {
  return std::nullopt;
}

void OpenPath::Finish() {
  while (!path_.empty()) {
    Close();
    path_.pop_back();
  }
}

int ReadInto(OpenPath& sink, std::uint32_t length, const std::uint8_t* stream, strataview::StreamFaults* faults) {
  int fault = strataview::BuildItemTree(length, stream, sink, faults);
  sink.Finish();
  return fault;
}

namespace {

// Hands every item to two sinks, which number their items alike.
class BothSinks : public strataview::ItemSink {
 public:
  BothSinks(OpenPath& first, OpenPath& second) : first_(first), second_(second) {}
  std::optional<ItemHandle> Insert(ItemHandle parent, std::string_view text, int image) override {
    std::optional<ItemHandle> item = first_.Insert(parent, text, image);
    if (item && !second_.Insert(parent, text, image)) return std::nullopt;
    return item;
  }

 private:
  OpenPath& first_;
  OpenPath& second_;
};

}  // namespace

int ReadInto(OpenPath& first, OpenPath& second, std::uint32_t length, const std::uint8_t* stream,
             strataview::StreamFaults* faults) {
  BothSinks both(first, second);
  int fault = strataview::BuildItemTree(length, stream, both, faults);
  first.Finish();
  second.Finish();
  return fault;
}

void RangePass::Open(std::string_view text, int image) {
  std::size_t slot = ranges_.size();
  if (strataview::MayHaveRange(image)) ranges_.emplace_back();
  if (!open_.empty()) open_.back().range.Add({text, image});
  open_.push_back({image, slot, {}});
}

void RangePass::Close() {
  const Opened& item = open_.back();
  if (strataview::MayHaveRange(item.image)) ranges_[item.slot] = item.range.Result(item.image);
  open_.pop_back();
}

void JsonItems::Open(std::string_view text, int image) {
  FlushFull(out_, file_);
  if (afterItem_) out_ += ',';
  out_ += "{\"text\":";
  std::string converted;
  AppendJsonString(out_,
                   image == strataview::kImageDisk && root_.Matches(text) ? root_.shown : Utf8Of(text, converted));
  out_ += ",\"image\":";
  AppendJsonNumber(out_, static_cast<std::uint64_t>(image));
  if (strataview::MayHaveRange(image) && nextRange_ < ranges_.size()) {
    if (const auto& range = ranges_[nextRange_++]) {
      out_ += ",\"offset\":";
      AppendJsonNumber(out_, range->offset);
      out_ += ",\"size\":";
      AppendJsonNumber(out_, range->size);
    }
  }
  out_ += ",\"children\":[";
  afterItem_ = false;
}

void JsonItems::Close() {
  out_ += "]}";
  afterItem_ = true;
}

void TextItems::Open(std::string_view text, int image) {
  FlushFull(out_, file_);
  out_.append(2 * Depth(), ' ');
  std::string converted;
  AppendVisible(out_, image == strataview::kImageDisk && root_.Matches(text) ? root_.shown : Utf8Of(text, converted));
  out_ += '\n';
}

void FlushFull(std::string& out, std::FILE* file) {
  if (out.size() >= kFlushBytes) FlushAll(out, file);
}

void FlushAll(std::string& out, std::FILE* file) {
  std::fwrite(out.data(), 1, out.size(), file);
  out.clear();
}

}  // namespace cli
