// Items grouped into nodes: one node per item of a name record (root, heading or
// field), carrying the offset, size, values and notes that hang under it. A node
// is handed to its writer when its first child node arrives or when it closes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hpi/hpi.h"
#include "item_writers.h"
#include "record_cursor.h"
#include "strataview/item_range.h"

namespace cli {

enum class NodeKind { Root, Group, Field, Fault };

struct Value {
  hpi::RecordClass cls;
  std::size_t width;
  std::uint64_t bits;
  std::string display;  // the host's value text, or the text itself (UTF-8)
  std::string comment;  // UTF-8
};

struct Node {
  NodeKind kind;
  std::size_t depth = 0;  // node ancestors
  std::size_t index = 0;  // in stream order
  std::string name, comment;
  bool hasChildren = false;
  // What is not yet written: the range when there is exactly one offset and one
  // size; further offsets and sizes stand among the values.
  std::optional<strataview::ByteRange> range;
  std::vector<Value> values;
  std::vector<std::string> notes;
  bool HasAttributes() const { return range || !values.empty() || !notes.empty(); }
};

class NodeWriter {
 public:
  virtual ~NodeWriter() = default;
  virtual void Begin(const Node& node) = 0;
  // Attributes in node are those that arrived after Begin.
  virtual void End(const Node& node) = 0;
};

// True for the items that make nodes; an item at top level always does.
bool IsNodeItem(int image, std::size_t depth);

// Marks the nodes that take an attribute after a child node (a group end lets a
// later record hang under the group again); also the stream's first pass.
class LateAttributes : public OpenPath {
 public:
  const std::vector<bool>& Flags() const { return late_; }

 private:
  void Open(std::string_view text, int image) override;
  void Close() override { open_.pop_back(); }

  struct Opened {
    bool node;
    std::size_t index;
    bool hadChild;
  };
  std::vector<Opened> open_;
  std::vector<bool> late_;
};

struct NodeOptions {
  std::optional<std::size_t> maxDepth;  // deeper nodes are left out
  RootName root;
  const std::vector<bool>* deferred = nullptr;  // nodes whose attributes all wait for End
};

class NodeBuilder : public OpenPath {
 public:
  NodeBuilder(std::uint32_t length, const std::uint8_t* stream, NodeWriter& writer, NodeOptions options)
      : cursor_(length, stream), writer_(writer), options_(std::move(options)) {}

 private:
  void Open(std::string_view text, int image) override;
  void Close() override;
  void OpenNode(int image, std::string_view text, const std::optional<Record>& record);
  void AddAttribute(int image, std::string_view text, const std::optional<Record>& record);
  void BeginTop();
  bool Shown(const Node& node) const { return !options_.maxDepth || node.depth <= *options_.maxDepth; }

  struct Opened {
    Node node;
    std::vector<Value> offsets, sizes;  // until the node is handed over
    bool begun = false;
  };
  void Settle(Opened& open);
  Opened& Top() { return open_[depth_ - 1]; }

  RecordCursor cursor_;
  NodeWriter& writer_;
  NodeOptions options_;
  std::vector<bool> itemIsNode_;
  std::vector<Opened> open_;  // slots are kept for reuse: the first depth_ are open
  std::size_t depth_ = 0;
  std::size_t nextIndex_ = 0;
};

}  // namespace cli
