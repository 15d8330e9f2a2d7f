// Item sinks that write items as the stream reader delivers them, so the CLI
// builds no tree: a file of millions of items needs little more memory than its
// stream. Items arrive in stream order, each under an item that is still open.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "strataview/item_range.h"
#include "strataview/item_sink.h"
#include "strataview/stream_reader.h"

namespace cli {

using strataview::ItemHandle;

// The root item's text as the plug-in wrote it (the file name in the system's
// ANSI code page) and as the CLI shows it (the name as the system spells it).
struct RootName {
  std::string given, shown;
  // True when text is the plug-in's spelling of the name, perhaps cut to fit an item.
  bool Matches(std::string_view text) const;
};

// Keeps the path of open items; an item closes when one arrives that is not below it.
class OpenPath : public strataview::ItemSink {
 public:
  std::optional<ItemHandle> Insert(ItemHandle parent, std::string_view text, int image) final;
  // Closes the items still open.
  void Finish();

 protected:
  // A new innermost item; Depth() counts its ancestors.
  virtual void Open(std::string_view text, int image) = 0;
  // The innermost open item closes.
  virtual void Close() = 0;
  std::size_t Depth() const { return path_.size(); }

 private:
  std::vector<ItemHandle> path_;
  ItemHandle next_ = 0;
};

// Reads the stream into the sink and closes what stays open; the reader's message number.
int ReadInto(OpenPath& sink, std::uint32_t length, const std::uint8_t* stream,
             strataview::StreamFaults* faults = nullptr);
// The same for two sinks in one reading.
int ReadInto(OpenPath& first, OpenPath& second, std::uint32_t length, const std::uint8_t* stream,
             strataview::StreamFaults* faults = nullptr);

using ItemRanges = std::vector<std::optional<strataview::ByteRange>>;

// The ranges of the folder and tag items, in stream order. JSON names an item's
// range before its children, so a first pass over the stream reads them back.
class RangePass : public OpenPath {
 public:
  const ItemRanges& Ranges() const { return ranges_; }

 private:
  struct Opened {
    int image;
    std::size_t slot;  // in ranges_
    strataview::RangeReadBack range;
  };
  void Open(std::string_view text, int image) override;
  void Close() override;

  std::vector<Opened> open_;
  ItemRanges ranges_;
};

// Writes JSON nodes into out, handing full megabytes to the file.
class JsonItems : public OpenPath {
 public:
  JsonItems(const ItemRanges& ranges, std::string& out, std::FILE* file, RootName root = {})
      : ranges_(ranges), out_(out), file_(file), root_(std::move(root)) {}

 private:
  void Open(std::string_view text, int image) override;
  void Close() override;

  const ItemRanges& ranges_;
  std::size_t nextRange_ = 0;
  bool afterItem_ = false;  // a comma goes before the next node
  std::string& out_;
  std::FILE* file_;
  RootName root_;
};

// One item a line, two spaces of indent per depth, in UTF-8.
class TextItems : public OpenPath {
 public:
  TextItems(std::string& out, std::FILE* file, RootName root = {}) : out_(out), file_(file), root_(std::move(root)) {}

 private:
  void Open(std::string_view text, int image) override;
  void Close() override {}

  std::string& out_;
  std::FILE* file_;
  RootName root_;
};

// Writes out to the file once it holds a megabyte; FlushAll writes the rest.
void FlushFull(std::string& out, std::FILE* file);
void FlushAll(std::string& out, std::FILE* file);

}  // namespace cli
