#include "nodes.h"

#include "strataview/item_sink.h"
#include "strataview/stream_reader.h"
#include "strataview/value_format.h"
#include "text.h"

namespace cli {
namespace {

using hpi::RecordClass;
using namespace strataview;

std::string Utf8(std::string_view cp932) {
  std::string converted;
  return std::string(Utf8Of(cp932, converted));
}

// The value a record holds; without its record, the item's text stands as a text value.
Value ValueOf(std::string_view text, const std::optional<Record>& record) {
  if (!record) return {RecordClass::Text, text.size(), 0, Utf8(text), {}};
  Value value{record->cls, record->payload.size(), 0, {}, Utf8(record->comment)};
  if (hpi::IsTextClass(record->cls)) {
    value.display = Utf8(record->payload);
  } else {
    value.bits = record->Bits();
    // The item's text is the value's text (which holds no space), then the comment;
    // only a text cut to fit the item needs the value formatted again.
    if (text.size() < kMaxItemTextWithComment) {
      value.display = text.substr(0, text.find(' '));
    } else {
      FormatValue(record->cls, record->payload.size(), reinterpret_cast<const std::uint8_t*>(record->payload.data()),
                  value.display);
    }
  }
  return value;
}

NodeKind KindOf(int image) {
  switch (image) {
    case kImageDisk: return NodeKind::Root;
    case kImageFolder: return NodeKind::Group;
    case kImageFault: return NodeKind::Fault;
    default: return NodeKind::Field;
  }
}

void ClearAttributes(Node& node) {
  node.range.reset();
  node.values.clear();
  node.notes.clear();
}

}  // namespace

bool IsNodeItem(int image, std::size_t depth) {
  return depth == 0 || image == kImageDisk || image == kImageFolder || image == kImageTag || image == kImageFault;
}

void LateAttributes::Open(std::string_view, int image) {
  Opened* owner = nullptr;
  for (auto it = open_.rbegin(); it != open_.rend() && owner == nullptr; ++it) {
    if (it->node) owner = &*it;
  }
  if (IsNodeItem(image, Depth())) {
    if (owner != nullptr) owner->hadChild = true;
    open_.push_back({true, late_.size(), false});
    late_.push_back(false);
    return;
  }
  if (owner != nullptr && owner->hadChild) late_[owner->index] = true;
  open_.push_back({false, 0, false});
}

void NodeBuilder::Open(std::string_view text, int image) {
  std::optional<Record> record = cursor_.Next();
  bool node = IsNodeItem(image, Depth());
  itemIsNode_.push_back(node);
  if (node) {
    OpenNode(image, text, record);
  } else {
    AddAttribute(image, text, record);
  }
}

void NodeBuilder::OpenNode(int image, std::string_view text, const std::optional<Record>& record) {
  BeginTop();
  if (depth_ == open_.size()) open_.emplace_back();
  Opened& open = open_[depth_++];
  open.begun = false;
  Node& node = open.node;
  node.kind = KindOf(image);
  node.depth = depth_ - 1;
  node.index = nextIndex_++;
  node.name.clear();
  node.comment.clear();
  node.hasChildren = false;
  bool named = IsNodeItem(image, 1);  // else an attribute at top level, a node of its own
  if (node.kind == NodeKind::Root && options_.root.Matches(record ? record->payload : text)) {
    node.name = options_.root.shown;
  } else if (named) {
    Value name = ValueOf(text, record);
    node.name = std::move(name.display);
    node.comment = std::move(name.comment);
  }
  if (!named) AddAttribute(image, text, record);
}

void NodeBuilder::AddAttribute(int image, std::string_view text, const std::optional<Record>& record) {
  if (depth_ == 0) return;
  Opened& open = Top();
  Value value = ValueOf(text, record);
  switch (image) {
    case kImageOffset: open.offsets.push_back(std::move(value)); break;
    case kImageSize: open.sizes.push_back(std::move(value)); break;
    case kImageNote:
      open.node.notes.push_back(value.comment.empty() ? std::move(value.display) : value.display + " " + value.comment);
      break;
    default: open.node.values.push_back(std::move(value));
  }
}

// Offsets and sizes become the range when there is one of each, else values.
void NodeBuilder::Settle(Opened& open) {
  Node& node = open.node;
  if (open.offsets.size() == 1 && open.sizes.size() == 1) {
    node.range = ByteRange{open.offsets[0].bits, open.sizes[0].bits};
  } else if (!open.offsets.empty() || !open.sizes.empty()) {
    node.values.insert(node.values.begin(), open.sizes.begin(), open.sizes.end());
    node.values.insert(node.values.begin(), open.offsets.begin(), open.offsets.end());
  }
  open.offsets.clear();
  open.sizes.clear();
}

// The innermost open node takes a child: it is handed over now, unless it defers.
void NodeBuilder::BeginTop() {
  if (depth_ == 0 || Top().begun) return;
  Opened& open = Top();
  Node& node = open.node;
  node.hasChildren = true;
  open.begun = true;
  bool defers =
      options_.deferred != nullptr && node.index < options_.deferred->size() && (*options_.deferred)[node.index];
  if (defers) {
    Node withheld = node;
    ClearAttributes(withheld);
    if (Shown(node)) writer_.Begin(withheld);
    return;
  }
  Settle(open);
  if (Shown(node)) writer_.Begin(node);
  ClearAttributes(node);
}

void NodeBuilder::Close() {
  bool node = itemIsNode_.back();
  itemIsNode_.pop_back();
  if (!node) return;
  Opened& open = Top();
  Settle(open);
  if (!open.begun) {
    if (Shown(open.node)) writer_.Begin(open.node);
    ClearAttributes(open.node);
  }
  if (Shown(open.node)) writer_.End(open.node);
  ClearAttributes(open.node);
  --depth_;
}

}  // namespace cli
