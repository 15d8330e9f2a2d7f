// The corpus folders, and ZIP archives of many entries generated at run time: the
// time per entry and the stream bytes per item of the analysis.
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/archive_builders.h"
#include "corpus_bench.h"
#include "hpi/exports.h"

namespace {

namespace fs = std::filesystem;

// An archive of `entries` stored files with an extended timestamp, as Info-ZIP
// writes them. It is kept in the temporary folder so that other readers can be
// timed on the same file.
fs::path ManyEntries(int entries) {
  fs::path path = fs::temp_directory_path() / ("kavlore-bench-" + std::to_string(entries) + ".zip");
  if (fs::exists(path)) return path;
  kavlore_test::ZipShape shape;
  shape.entries.clear();
  auto timestamp = kavlore_test::Block(0x5455, {3, 0x00, 0xCA, 0x9A, 0x3B, 0x00, 0xCA, 0x9A, 0x3B});
  for (int i = 0; i < entries; ++i) {
    shape.entries.push_back({.name = "folder/file" + std::to_string(i) + ".txt",
                             .data = "contents of entry " + std::to_string(i),
                             .flag = 0,
                             .method = 0,
                             .localExtra = timestamp,
                             .centralExtra = std::vector<std::uint8_t>(timestamp.begin(), timestamp.begin() + 9)});
    shape.entries.back().centralExtra[2] = 5;  // the central block holds the modification time only
  }
  auto bytes = kavlore_test::MakeZip(shape);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void AnalyseManyEntries(benchmark::State& state) {
  int entries = static_cast<int>(state.range(0));
  fs::path path = ManyEntries(entries);
  std::uint64_t items = 0;
  std::uint64_t streamBytes = 0;
  for (auto _ : state) {
    auto analysed = testing_support::AnalysePath(path);
    if (!analysed.ok) {
      state.SkipWithError(analysed.error.c_str());
      return;
    }
    items = analysed.tree.Items().size();
    streamBytes = analysed.streamLength;
  }
  state.counters["entries"] = entries;
  state.counters["items"] = static_cast<double>(items);
  state.counters["stream_bytes_per_item"] = static_cast<double>(streamBytes) / static_cast<double>(items);
  state.counters["ns_per_entry"] = benchmark::Counter(
      static_cast<double>(entries) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The plug-in alone: the stream is made and freed, not read into a tree.
void StreamManyEntries(benchmark::State& state) {
  int entries = static_cast<int>(state.range(0));
  std::string path = ManyEntries(entries).string();
  std::uint32_t length = 0;
  for (auto _ : state) {
    HpiMemHandle stream = nullptr;
    length = HPI_GetHeadAnalyzedData(path.c_str(), &stream, 0, 0, 0, nullptr);
    if (stream != nullptr) HpiMemFree(stream);
    if (length == 0) {
      state.SkipWithError("analysis failed");
      return;
    }
  }
  state.counters["stream_bytes_per_entry"] = static_cast<double>(length) / entries;
  state.counters["ns_per_entry"] = benchmark::Counter(
      static_cast<double>(entries) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(StreamManyEntries)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(AnalyseManyEntries)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

const int registered = bench_support::RegisterCorpus({"zip", "gzip", "cab", "lzh"});

}  // namespace
