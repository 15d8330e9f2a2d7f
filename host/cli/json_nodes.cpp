#include "json_nodes.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "item_writers.h"
#include "json.h"

namespace cli {
namespace {

using hpi::RecordClass;

const char* KindName(NodeKind kind) {
  switch (kind) {
    case NodeKind::Root: return "root";
    case NodeKind::Group: return "group";
    case NodeKind::Fault: return "fault";
    default: return "field";
  }
}

void AppendSigned(std::string& out, std::int64_t number) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof text, number).ptr);
}

}  // namespace

const char* TypeName(RecordClass cls) {
  switch (cls) {
    case RecordClass::Offset:
    case RecordClass::Hex:
    case RecordClass::LongHex: return "hex";
    case RecordClass::Size:
    case RecordClass::Unsigned: return "unsigned";
    case RecordClass::Signed: return "signed";
    case RecordClass::Real: return "real";
    case RecordClass::Long: return "long";
    default: return "text";
  }
}

void AppendJsonValue(std::string& out, const Value& v) {
  switch (v.cls) {
    case RecordClass::Signed:
      // widths 1, 2 and 4 are sign-extended, as the host shows them
      if (v.width == 1) return AppendSigned(out, static_cast<std::int8_t>(v.bits));
      if (v.width == 2) return AppendSigned(out, static_cast<std::int16_t>(v.bits));
      if (v.width == 4) return AppendSigned(out, static_cast<std::int32_t>(v.bits));
      return AppendJsonNumber(out, v.bits);
    case RecordClass::Long: return AppendSigned(out, static_cast<std::int64_t>(v.bits));
    case RecordClass::Size:
      if (v.width == 8) return AppendSigned(out, static_cast<std::int64_t>(v.bits));
      return AppendJsonNumber(out, v.bits);
    case RecordClass::Real: {
      double d;
      if (v.width == 4) {
        float f;
        std::uint32_t b32 = static_cast<std::uint32_t>(v.bits);
        std::memcpy(&f, &b32, 4);
        d = f;
      } else {
        std::memcpy(&d, &v.bits, 8);
      }
      if (!std::isfinite(d)) {
        out += "null";
        return;
      }
      char text[32];
      out.append(text, std::to_chars(text, text + sizeof text, d).ptr);
      return;
    }
    default: AppendJsonNumber(out, v.bits);
  }
}

void JsonNodes::Attributes(const Node& node) {
  if (node.range) {
    out_ += ",\"offset\":";
    AppendJsonNumber(out_, node.range->offset);
    out_ += ",\"size\":";
    AppendJsonNumber(out_, node.range->size);
  }
  if (!node.values.empty()) {
    out_ += ",\"values\":[";
    for (std::size_t i = 0; i < node.values.size(); ++i) {
      const Value& v = node.values[i];
      out_ += i > 0 ? ",{\"type\":\"" : "{\"type\":\"";
      out_ += TypeName(v.cls);
      out_ += "\",\"width\":";
      AppendJsonNumber(out_, v.width);
      out_ += ",\"value\":";
      if (hpi::IsTextClass(v.cls)) {
        AppendJsonString(out_, v.display);
      } else {
        AppendJsonValue(out_, v);
        out_ += ",\"display\":";
        AppendJsonString(out_, v.display);
      }
      if (!v.comment.empty()) {
        out_ += ",\"comment\":";
        AppendJsonString(out_, v.comment);
      }
      out_ += '}';
    }
    out_ += ']';
  }
  if (!node.notes.empty()) {
    out_ += ",\"notes\":[";
    for (std::size_t i = 0; i < node.notes.size(); ++i) {
      if (i > 0) out_ += ',';
      AppendJsonString(out_, node.notes[i]);
    }
    out_ += ']';
  }
}

void JsonNodes::Begin(const Node& node) {
  FlushFull(out_, file_);
  out_ += afterNode_ ? ",{" : "{";
  if (!node.name.empty()) {
    out_ += "\"name\":";
    AppendJsonString(out_, node.name);
    out_ += ',';
  }
  out_ += "\"kind\":\"";
  out_ += KindName(node.kind);
  out_ += '"';
  if (!node.comment.empty()) {
    out_ += ",\"comment\":";
    AppendJsonString(out_, node.comment);
  }
  Attributes(node);
  if (node.hasChildren) out_ += ",\"children\":[";
  afterNode_ = false;
}

void JsonNodes::End(const Node& node) {
  if (node.hasChildren) out_ += ']';
  Attributes(node);
  out_ += '}';
  afterNode_ = true;
}

}  // namespace cli
