#include "plugin_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "hpi/exports.h"
#include "strataview/stream_reader.h"

namespace testing_support {
namespace fs = std::filesystem;

namespace {

long ProcessId() {
#if defined(_WIN32)
  return static_cast<long>(GetCurrentProcessId());
#else
  return static_cast<long>(getpid());
#endif
}

}  // namespace

Analysed AnalysePath(const fs::path& path, int language, int requestFlags) {
  Analysed result;
  HPI_SetLanguage(language);
  HpiMemHandle stream = nullptr;
  HpiMemHandle report = nullptr;
  std::string name = path.string();
  std::uint32_t length = HPI_GetHeadAnalyzedData(name.c_str(), &stream, requestFlags, 0, 0, &report);
  result.partial = (length & hpi::kPartialResult) != 0;
  result.streamLength = length & ~hpi::kPartialResult;
  result.ok = length != 0 && !result.partial;
  if (!result.ok) {
    char message[hpi::kMessageBufferSize] = {};
    HPI_GetLastErrMsg(message);
    result.error = message;
    if (!result.partial) {
      EXPECT_EQ(stream, nullptr) << "a failed analysis left a stream behind";
    } else {
      EXPECT_NE(requestFlags & hpi::kRequestPartial, 0) << "a partial stream that was not asked for";
    }
  }
  if (result.streamLength != 0 && stream != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(HpiMemLock(stream));
    result.readerFault = strataview::BuildItemTree(result.streamLength, bytes, result.tree, &result.faults);
    HpiMemUnlock(stream);
  }
  if (stream != nullptr) HpiMemFree(stream);
  if (report != nullptr) {
    result.report = static_cast<const char*>(HpiMemLock(report));
    HpiMemUnlock(report);
    HpiMemFree(report);
  }
  return result;
}

fs::path ScratchFile(const std::vector<std::uint8_t>& bytes, std::string_view name) {
  // A folder per test process, so programs run side by side do not share files.
  static const fs::path dir = fs::temp_directory_path() / ("strataview-tests-" + std::to_string(ProcessId()));
  fs::create_directories(dir);
  fs::path path = dir / std::string(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

Analysed AnalyseBytes(const std::vector<std::uint8_t>& bytes, std::string_view name, int language, int requestFlags) {
  fs::path path = ScratchFile(bytes, name);
  Analysed result = AnalysePath(path, language, requestFlags);
  fs::remove(path);
  return result;
}

int Supports(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> head(hpi::kHeadRecordSize, 0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), hpi::kHeadBytes), head.begin());
  std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
  std::memcpy(head.data() + hpi::kHeadSizeOffset, &size, 4);
  return HPI_IsSupported(head.data(), 0, hpi::kSupportReserved);
}

fs::path CorpusDir() { return fs::path(STRATAVIEW_CORPUS_DIR); }

std::vector<fs::path> CorpusFiles(std::string_view format) {
  std::vector<fs::path> files;
  fs::path dir = CorpusDir() / std::string(format);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return files;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

namespace {

// The item last inserted before the fault item's own offset and size children.
bool EndsInFault(const Analysed& a) { return a.faults.count > 0 && a.faults.last.item + 3 == a.tree.Items().size(); }

}  // namespace

void CheckPartial(const fs::path& file, const std::string& error) {
  Analysed partial = AnalysePath(file, 1, hpi::kRequestPartial);
  if (!partial.partial) {
    // Nothing to hand over: a file that could not be opened or checked before its root item.
    EXPECT_EQ(partial.streamLength, 0u) << file;
    return;
  }
  EXPECT_EQ(partial.error, error) << file;
  EXPECT_EQ(partial.readerFault, 0) << file;
  ASSERT_TRUE(EndsInFault(partial)) << file;
  EXPECT_EQ(partial.faults.last.message, error) << file;
}

namespace {

using strataview::ItemHandle;
using strataview::ItemTree;

void PreOrder(const ItemTree& tree, ItemHandle item, ItemHandle skip, std::vector<ItemHandle>& out) {
  if (item == skip) return;
  out.push_back(item);
  for (ItemHandle child : tree.At(item).children) PreOrder(tree, child, skip, out);
}

std::vector<ItemHandle> PreOrder(const Analysed& a) {
  std::vector<ItemHandle> order;
  ItemHandle skip = a.faults.count > 0 ? a.faults.last.item : strataview::kNoItem;
  for (ItemHandle top : a.tree.TopLevel()) PreOrder(a.tree, top, skip, order);
  return order;
}

std::vector<std::uint8_t> FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int CheckTruncations(const fs::path& file, std::size_t maxCuts) {
  Analysed whole = AnalysePath(file, 1, hpi::kRequestPartial);
  std::vector<std::uint8_t> bytes = FileBytes(file);
  if (whole.streamLength == 0 || bytes.size() < 2) return 0;
  std::vector<ItemHandle> wholeOrder = PreOrder(whole);
  std::vector<std::uint64_t> cuts;
  for (ItemHandle item : wholeOrder) {
    std::optional<strataview::ByteRange> range = whole.tree.RangeOf(item);
    if (!range) continue;
    for (std::uint64_t cut : {range->offset + range->size, range->offset + 1}) {
      if (cut > 0 && cut < bytes.size()) cuts.push_back(cut);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::size_t step = cuts.size() > maxCuts ? (cuts.size() + maxCuts - 1) / maxCuts : 1;
  int tried = 0;
  for (std::size_t c = 0; c < cuts.size(); c += step, ++tried) {
    std::uint64_t cut = cuts[c];
    std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    Analysed part = AnalyseBytes(prefix, file.filename().string(), 1, hpi::kRequestPartial);
    std::string where = file.filename().string() + " cut at " + std::to_string(cut);
    EXPECT_EQ(part.readerFault, 0) << where;
    if (!part.ok) {
      EXPECT_TRUE(part.partial || part.streamLength == 0) << where;
      if (!part.partial) continue;
      EXPECT_TRUE(EndsInFault(part)) << where;
      const strataview::FaultItem& fault = part.faults.last;
      EXPECT_EQ(fault.size, fault.offset < cut ? cut - fault.offset : 0) << where;
    }
    // Every item up to the first structure that the cut runs through is the whole file's.
    std::vector<ItemHandle> partOrder = PreOrder(part);
    for (std::size_t i = 0; i < wholeOrder.size(); ++i) {
      std::optional<strataview::ByteRange> range = whole.tree.RangeOf(wholeOrder[i]);
      if (range && range->offset + range->size > cut) break;
      if (i >= partOrder.size()) {
        ADD_FAILURE() << where << ": lost " << whole.tree.At(wholeOrder[i]).text;
        break;
      }
      if (part.tree.At(partOrder[i]).text != whole.tree.At(wholeOrder[i]).text) {
        ADD_FAILURE() << where << ": item " << i << " is " << part.tree.At(partOrder[i]).text << ", not "
                      << whole.tree.At(wholeOrder[i]).text;
        break;
      }
    }
  }
  return tried;
}

int CheckCorpus(std::string_view format, const std::function<void(const fs::path&, const Analysed&)>& check) {
  int analysed = 0;
  for (const fs::path& file : CorpusFiles(format)) {
    Analysed a = AnalysePath(file);
    if (!a.ok) {
      EXPECT_FALSE(a.error.empty()) << file;
      EXPECT_NE(a.error, "[HPI_PLUGIN] No error!") << file;
      CheckPartial(file, a.error);
      continue;
    }
    ++analysed;
    EXPECT_EQ(a.readerFault, 0) << file;
    if (check) check(file, a);
  }
  return analysed;
}

const strataview::Item* Find(const strataview::ItemTree& tree, std::string_view text, bool prefix) {
  for (const strataview::Item& item : tree.Items()) {
    if (prefix ? std::string_view(item.text).starts_with(text) : item.text == text) return &item;
  }
  return nullptr;
}

Range RangeOf(const strataview::ItemTree& tree, const strataview::Item& item) {
  auto handle = static_cast<strataview::ItemHandle>(&item - tree.Items().data());
  std::optional<strataview::ByteRange> range = tree.RangeOf(handle);
  EXPECT_TRUE(range.has_value()) << "no range on " << item.text;
  return range ? Range{range->offset, range->size} : Range{~0ull, ~0ull};
}

std::string ValueOf(const strataview::ItemTree& tree, const strataview::Item& item) {
  for (strataview::ItemHandle c : item.children) {
    if (tree.At(c).image == strataview::kImageValue) return std::string(tree.At(c).text);
  }
  return {};
}

std::vector<std::string> ChildTexts(const strataview::ItemTree& tree, const strataview::Item& item) {
  std::vector<std::string> texts;
  for (strataview::ItemHandle c : item.children) texts.emplace_back(tree.At(c).text);
  return texts;
}

Bytes& Bytes::U8(std::uint32_t v) {
  bytes_.push_back(static_cast<std::uint8_t>(v));
  return *this;
}
Bytes& Bytes::LE16(std::uint32_t v) { return U8(v).U8(v >> 8); }
Bytes& Bytes::LE32(std::uint32_t v) { return LE16(v).LE16(v >> 16); }
Bytes& Bytes::BE16(std::uint32_t v) { return U8(v >> 8).U8(v); }
Bytes& Bytes::BE32(std::uint32_t v) { return BE16(v >> 16).BE16(v); }
Bytes& Bytes::Text(std::string_view s) {
  bytes_.insert(bytes_.end(), s.begin(), s.end());
  return *this;
}
Bytes& Bytes::Zeros(std::size_t n) {
  bytes_.insert(bytes_.end(), n, 0);
  return *this;
}

}  // namespace testing_support
