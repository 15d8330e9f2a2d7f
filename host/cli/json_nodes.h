// Schema 2 of the JSON output: one NODE object per node,
//   {"name", "kind", "offset", "size", "values": [VALUE...], "comment", "notes", "children"}
// each key present only when it has content;
//   VALUE = {"type", "width", "value", "display", "comment"}.
#pragma once

#include <cstdio>
#include <string>

#include "nodes.h"

namespace cli {

class JsonNodes : public NodeWriter {
 public:
  JsonNodes(std::string& out, std::FILE* file) : out_(out), file_(file) {}
  void Begin(const Node& node) override;
  void End(const Node& node) override;

 private:
  void Attributes(const Node& node);

  std::string& out_;
  std::FILE* file_;
  bool afterNode_ = false;  // a comma goes before the next node
};

// The JSON type name of a value's record class.
const char* TypeName(hpi::RecordClass cls);
// Appends the value as a JSON number (exact for integers), or null for a real that is not finite.
void AppendJsonValue(std::string& out, const Value& value);

}  // namespace cli
