// Hex search throughput over a cached file with no hit, and the time to a hit
// near the start for files of growing size. The files (random bytes) are written
// once into the temporary folder and reused; each benchmark reads its file through
// once before timing, so the runs measure a cached file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "strataview/hex_search.h"

namespace {

using strataview::HexSearch;
using strataview::SearchDirection;
using strataview::SearchOutcome;

// 16 bytes that the random files do not hold (the runs check the outcome).
constexpr char kAbsent[] = "de ad be ef 00 11 22 33 44 55 66 77 88 99 aa bb";
constexpr char kNearStart[] = "5a 5a 5a 5a 5a 5a 5a 5a";
constexpr std::uint64_t kHitOffset = 100000;

class Quiet : public strataview::SearchObserver {
 public:
  void ScanStarted() override {}
  void ScanEnded() override {}
};

// A file of size random bytes holding eight 0x5a bytes at kHitOffset.
std::string BenchFile(std::uint64_t size) {
  auto path = std::filesystem::temp_directory_path() / ("strataview_search_" + std::to_string(size) + ".bin");
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) == size) return path.string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<std::uint64_t> chunk(1 << 17);
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  for (std::uint64_t written = 0; written < size;) {
    for (auto& word : chunk) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    if (written <= kHitOffset && kHitOffset < written + chunk.size() * 8) {
      std::fill_n(reinterpret_cast<char*>(chunk.data()) + (kHitOffset - written), 8, '\x5a');
    }
    auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(size - written, chunk.size() * 8));
    out.write(reinterpret_cast<const char*>(chunk.data()), n);
    written += static_cast<std::uint64_t>(n);
  }
  return path.string();
}

// The file, read through once so that the timed runs find it in the page cache.
std::unique_ptr<strataview::ReadOnlyFile> OpenBenchFile(benchmark::State& state) {
  auto file = strataview::ReadOnlyFile::Open(BenchFile(static_cast<std::uint64_t>(state.range(0))));
  if (!file) {
    state.SkipWithError("cannot create the file");
    return file;
  }
  std::vector<char> chunk(1 << 20);
  file->Seek(0);
  while (file->Read(chunk.data(), chunk.size()) > 0) {
  }
  return file;
}

// The whole file scanned for a pattern it does not hold, forwards or backwards.
template <strataview::SearchResult (*Scan)(strataview::ReadOnlyFile&, const strataview::HexPattern&, std::int64_t&,
                                           const std::atomic<bool>&)>
void Throughput(benchmark::State& state) {
  auto file = OpenBenchFile(state);
  if (!file) return;
  const auto pattern = *strataview::ParseHexPattern(kAbsent);
  std::atomic<bool> stop{false};
  for (auto _ : state) {
    std::int64_t position = Scan == strataview::ScanForward ? 0 : state.range(0);
    auto result = Scan(*file, pattern, position, stop);
    if (result.outcome != SearchOutcome::EndOfFile) state.SkipWithError("unexpected outcome");
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// A new downward search, as the dialog starts it, up to its hit 100000 bytes in.
void HitNearStart(benchmark::State& state) {
  auto file = OpenBenchFile(state);
  if (!file) return;
  Quiet quiet;
  for (auto _ : state) {
    HexSearch search;
    search.Arm();
    auto result = search.Run(kNearStart, SearchDirection::Down, file.get(), quiet);
    if (result.outcome != SearchOutcome::Hit || result.hit != kHitOffset) state.SkipWithError("unexpected outcome");
  }
}

constexpr std::int64_t kMiB = 1 << 20;

BENCHMARK(Throughput<strataview::ScanForward>)
    ->Name("Forward")
    ->Arg(1024 * kMiB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK(Throughput<strataview::ScanBackward>)
    ->Name("Backward")
    ->Arg(1024 * kMiB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK(HitNearStart)->Arg(kMiB)->Arg(64 * kMiB)->Arg(1024 * kMiB)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
