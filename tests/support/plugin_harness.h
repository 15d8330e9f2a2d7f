// Runs the plug-in linked into a test program through its exports, as the host
// does, and reads the stream back into an item tree with the host's reader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "strataview/item_tree.h"
#include "strataview/stream_reader.h"

namespace testing_support {

struct Analysed {
  bool ok = false;      // HPI_GetHeadAnalyzedData returned a stream
  std::string error;    // the plug-in's message on failure
  int readerFault = 0;  // the host reader's message number (0: the stream is valid)
  std::uint32_t streamLength = 0;
  std::string report;  // empty when the plug-in made none
  strataview::ItemTree tree;
  bool partial = false;  // failed, and handed over what it found (asked with hpi::kRequestPartial)
  strataview::StreamFaults faults;
};

// Analyses a file (English messages unless told otherwise).
// requestFlags is HPI_GetHeadAnalyzedData's first reserved argument.
Analysed AnalysePath(const std::filesystem::path& path, int language = 1, int requestFlags = 0);
// Writes the bytes to a scratch file named name and analyses it.
Analysed AnalyseBytes(const std::vector<std::uint8_t>& bytes, std::string_view name = "sample.bin", int language = 1,
                      int requestFlags = 0);
// Writes the bytes to a scratch file named name and returns its path; the file is
// removed with the test process's scratch folder.
std::filesystem::path ScratchFile(const std::vector<std::uint8_t>& bytes, std::string_view name);
// HPI_IsSupported on the head record built from the bytes (zero-padded to 2000).
int Supports(const std::vector<std::uint8_t>& bytes);

// The files of ../shared/corpus/<format>, sorted; empty when the folder is missing.
std::vector<std::filesystem::path> CorpusFiles(std::string_view format);
std::filesystem::path CorpusDir();
// Analyses each corpus file of the format; a file that fails must name its fault
// and, asked for a partial analysis, hand over a valid stream that ends in its
// fault item; each one analysed must give a valid stream and is handed to check.
// Returns how many were analysed.
int CheckCorpus(std::string_view format,
                const std::function<void(const std::filesystem::path&, const Analysed&)>& check = {});

// Asks again for a partial analysis of a file that failed with error: unless
// nothing could be handed over, a valid stream that ends in a fault item with it.
void CheckPartial(const std::filesystem::path& file, const std::string& error);

// Cuts the file at each boundary of its structures (and a few bytes inside the
// first ones) and analyses each prefix asking for a partial analysis: a prefix
// either analyses or ends in a fault item sized to the cut, and the items before
// the first structure the cut runs through are those of the whole file. Returns the number of cuts tried.
int CheckTruncations(const std::filesystem::path& file, std::size_t maxCuts = 40);

// The first item, in tree order, whose text equals text (or starts with it when prefix).
const strataview::Item* Find(const strataview::ItemTree& tree, std::string_view text, bool prefix = false);
// The item's byte range read back from its children.
struct Range {
  std::uint64_t offset;
  std::uint64_t size;
  bool operator==(const Range&) const = default;
};
Range RangeOf(const strataview::ItemTree& tree, const strataview::Item& item);
// The text of the item's value child (image V), without the item itself.
std::string ValueOf(const strataview::ItemTree& tree, const strataview::Item& item);
// Children's texts of an item, in order.
std::vector<std::string> ChildTexts(const strataview::ItemTree& tree, const strataview::Item& item);

// Little-endian and big-endian byte builders for hand-made files.
class Bytes {
 public:
  Bytes& U8(std::uint32_t v);
  Bytes& LE16(std::uint32_t v);
  Bytes& LE32(std::uint32_t v);
  Bytes& BE16(std::uint32_t v);
  Bytes& BE32(std::uint32_t v);
  Bytes& Text(std::string_view s);
  Bytes& Zeros(std::size_t n);
  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint8_t>& Vector() { return bytes_; }
  operator const std::vector<std::uint8_t>&() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace testing_support
