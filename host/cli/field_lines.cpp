#include "field_lines.h"

#include <cinttypes>

#include "text.h"

namespace cli {
namespace {

constexpr std::size_t kNameColumn = 27;   // indent and name
constexpr std::size_t kRangeColumn = 22;  // "@offset +size"

void PadTo(std::string& out, std::size_t from, std::size_t width) {
  std::size_t used = out.size() - from;
  out.append(used < width ? width - used : 1, ' ');
}

// Display width of UTF-8 text, counting each character as one column.
std::size_t Columns(std::string_view text) {
  std::size_t columns = 0;
  for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return columns;
}

}  // namespace

void FieldLines::Line(const Node& node, std::string_view suffix) {
  FlushFull(out_, file_);
  std::size_t start = out_.size();
  out_.append(2 * node.depth, ' ');
  if (node.kind == NodeKind::Fault) out_ += "FAULT: ";
  AppendVisible(out_, node.name);
  if (!node.comment.empty()) {
    out_ += ' ';
    AppendVisible(out_, node.comment);
  }
  out_ += suffix;
  bool hasValues = !node.values.empty();
  if (!node.range && !hasValues) {
    out_ += '\n';
  } else {
    std::size_t columns = Columns(std::string_view(out_).substr(start));
    out_.append(columns < kNameColumn ? kNameColumn - columns : 1, ' ');
    std::size_t range = out_.size();
    if (node.range) {
      char text[48];
      if (base_ == OffsetBase::Hex) {
        std::snprintf(text, sizeof text,
                      node.range->offset > 0xFFFFFFFFu ? "@0x%016" PRIx64 " +%" PRIu64 : "@0x%08" PRIx64 " +%" PRIu64,
                      node.range->offset, node.range->size);
      } else {
        std::snprintf(text, sizeof text, "@%" PRIu64 " +%" PRIu64, node.range->offset, node.range->size);
      }
      out_ += text;
    }
    if (hasValues) PadTo(out_, range, kRangeColumn);
    for (std::size_t i = 0; i < node.values.size(); ++i) {
      if (i > 0) out_ += "  ";
      AppendVisible(out_, node.values[i].display);
      if (!node.values[i].comment.empty()) {
        out_ += ' ';
        AppendVisible(out_, node.values[i].comment);
      }
    }
    while (!out_.empty() && out_.back() == ' ') out_.pop_back();
    out_ += '\n';
  }
  for (const std::string& note : node.notes) {
    out_.append(2 * node.depth + 4, ' ');
    out_ += "- ";
    AppendVisible(out_, note);
    out_ += '\n';
  }
}

void FieldLines::Begin(const Node& node) { Line(node, ""); }

// Attributes that arrived after the children: the node's line again, marked.
void FieldLines::End(const Node& node) {
  if (node.HasAttributes()) Line(node, " (continued)");
}

}  // namespace cli
