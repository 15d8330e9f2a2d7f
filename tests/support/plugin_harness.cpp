#include "plugin_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

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

Analysed AnalysePath(const fs::path& path, int language) {
  Analysed result;
  HPI_SetLanguage(language);
  HpiMemHandle stream = nullptr;
  HpiMemHandle report = nullptr;
  std::string name = path.string();
  result.streamLength = HPI_GetHeadAnalyzedData(name.c_str(), &stream, 0, 0, 0, &report);
  result.ok = result.streamLength != 0;
  if (!result.ok) {
    char message[hpi::kMessageBufferSize] = {};
    HPI_GetLastErrMsg(message);
    result.error = message;
    EXPECT_EQ(stream, nullptr) << "a failed analysis left a stream behind";
  } else {
    const auto* bytes = static_cast<const std::uint8_t*>(HpiMemLock(stream));
    result.readerFault = strataview::BuildItemTree(result.streamLength, bytes, result.tree);
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

Analysed AnalyseBytes(const std::vector<std::uint8_t>& bytes, std::string_view name, int language) {
  // A folder per test process, so programs run side by side do not share files.
  static const fs::path dir = fs::temp_directory_path() / ("strataview-tests-" + std::to_string(ProcessId()));
  fs::create_directories(dir);
  fs::path path = dir / std::string(name);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Analysed result = AnalysePath(path, language);
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

int CheckCorpus(std::string_view format, const std::function<void(const fs::path&, const Analysed&)>& check) {
  int analysed = 0;
  for (const fs::path& file : CorpusFiles(format)) {
    Analysed a = AnalysePath(file);
    if (!a.ok) {
      EXPECT_FALSE(a.error.empty()) << file;
      EXPECT_NE(a.error, "[HPI_PLUGIN] No error!") << file;
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
