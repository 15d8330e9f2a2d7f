// The default text output: one line per node, in aligned columns
//   "    bfType                 @0x00000000 +2        0x4d42(19778) 'BM'"
// with notes as indented lines under their node.
#pragma once

#include <cstdio>
#include <string>

#include "nodes.h"

namespace cli {

enum class OffsetBase { Hex, Decimal };

class FieldLines : public NodeWriter {
 public:
  FieldLines(std::string& out, std::FILE* file, OffsetBase base) : out_(out), file_(file), base_(base) {}
  void Begin(const Node& node) override;
  void End(const Node& node) override;

 private:
  void Line(const Node& node, std::string_view suffix);

  std::string& out_;
  std::FILE* file_;
  OffsetBase base_;
};

}  // namespace cli
