// Chunk-walk throughput on a generated PNG of 100,000 small chunks and on the
// corpus, each beside pngcheck -v on the same files for comparison.
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "corpus_bench.h"
#include "hpi/crc32.h"
#include "hpi/exports.h"

namespace {

constexpr int kChunkCount = 100000;

void PutBE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A chunk with a true CRC, so that pngcheck reads on.
void PutChunk(std::vector<std::uint8_t>& out, const char* type, std::vector<std::uint8_t> data) {
  PutBE32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBE32(out, hpi::ComputeCrc32(typed.data(), typed.size()));
}

// A 1x1 grayscale PNG whose IDAT is followed by text and private chunks in turn.
std::filesystem::path ManyChunksPng() {
  static const std::filesystem::path path = [] {
    auto file = std::filesystem::temp_directory_path() / "pendrix-bench-100k-chunks.png";
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    PutChunk(png, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 0, 0});
    // A zlib stream of one stored block: filter byte and pixel, then Adler-32.
    PutChunk(png, "IDAT", {0x78, 0x01, 0x01, 0x02, 0x00, 0xFD, 0xFF, 0, 0, 0x00, 0x02, 0x00, 0x01});
    for (int i = 2; i < kChunkCount - 1; ++i) {
      if (i % 2 == 0) {
        PutChunk(png, "tEXt", {'K', 'e', 'y', 0, 'v', 'a', 'l', static_cast<std::uint8_t>('0' + i % 10)});
      } else {
        PutChunk(png, "prVt", {1, 2, 3, 4});
      }
    }
    PutChunk(png, "IEND", {});
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    return file;
  }();
  return path;
}

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool HavePngcheck() { return std::system("command -v pngcheck > /dev/null 2>&1") == 0; }

void RunPngcheck(benchmark::State& state, const std::vector<std::filesystem::path>& files) {
  if (!HavePngcheck()) {
    state.SkipWithError("pngcheck is not installed");
    return;
  }
  std::string command = "pngcheck -v";
  for (const auto& file : files) command += " '" + file.string() + "'";
  command += " > /dev/null 2>&1";
  double before = ChildCpuSeconds();
  for (auto _ : state) benchmark::DoNotOptimize(std::system(command.c_str()));
  // pngcheck's own processor time, comparable with the CPU column of the walks.
  state.counters["child_cpu_ms"] = 1000 * (ChildCpuSeconds() - before) / static_cast<double>(state.iterations());
  state.counters["files"] = static_cast<double>(files.size());
}

std::vector<std::filesystem::path> Corpus() {
  std::vector<std::filesystem::path> all;
  for (const char* format : {"png", "mng", "jng"}) {
    auto files = testing_support::CorpusFiles(format);
    all.insert(all.end(), files.begin(), files.end());
  }
  return all;
}

void BM_Walk100kChunks(benchmark::State& state) {
  auto file = ManyChunksPng();
  std::size_t items = 0;
  for (auto _ : state) {
    auto analysed = testing_support::AnalysePath(file);
    if (!analysed.ok) state.SkipWithError(analysed.error.c_str());
    items = analysed.tree.Items().size();
  }
  state.counters["chunks_per_s"] = benchmark::Counter(kChunkCount, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["items"] = static_cast<double>(items);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(file)));
}
BENCHMARK(BM_Walk100kChunks)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plug-in alone: the walk and its stream, without the host's tree.
void BM_Stream100kChunks(benchmark::State& state) {
  auto file = ManyChunksPng().string();
  for (auto _ : state) {
    HpiMemHandle stream = nullptr;
    if (HPI_GetHeadAnalyzedData(file.c_str(), &stream, 0, 0, 0, nullptr) == 0) state.SkipWithError("refused");
    if (stream != nullptr) HpiMemFree(stream);
  }
  state.counters["chunks_per_s"] = benchmark::Counter(kChunkCount, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Stream100kChunks)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Pngcheck100kChunks(benchmark::State& state) {
  RunPngcheck(state, {ManyChunksPng()});
  state.counters["chunks_per_s"] = benchmark::Counter(kChunkCount, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Pngcheck100kChunks)->Unit(benchmark::kMillisecond)->UseRealTime();

// All corpus files in one pngcheck run, against Corpus/png, Corpus/mng and Corpus/jng together.
void BM_PngcheckCorpus(benchmark::State& state) { RunPngcheck(state, Corpus()); }
BENCHMARK(BM_PngcheckCorpus)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plug-in alone over every corpus file, against BM_PngcheckCorpus.
void BM_StreamCorpus(benchmark::State& state) {
  auto files = Corpus();
  if (files.empty()) {
    state.SkipWithError("no corpus folder");
    return;
  }
  for (auto _ : state) {
    for (const auto& file : files) {
      HpiMemHandle stream = nullptr;
      benchmark::DoNotOptimize(HPI_GetHeadAnalyzedData(file.string().c_str(), &stream, 0, 0, 0, nullptr));
      if (stream != nullptr) HpiMemFree(stream);
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_StreamCorpus)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1x1 PNG with one IDAT of 16 MiB: the walk reads every byte for the CRC.
std::filesystem::path LargeIdatPng() {
  static const std::filesystem::path path = [] {
    auto file = std::filesystem::temp_directory_path() / "pendrix-bench-16m-idat.png";
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    PutChunk(png, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 0, 0});
    std::vector<std::uint8_t> data(16u << 20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    PutChunk(png, "IDAT", std::move(data));
    PutChunk(png, "IEND", {});
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    return file;
  }();
  return path;
}

void BM_StreamLargeIdat(benchmark::State& state) {
  auto file = LargeIdatPng();
  for (auto _ : state) {
    HpiMemHandle stream = nullptr;
    if (HPI_GetHeadAnalyzedData(file.string().c_str(), &stream, 0, 0, 0, nullptr) == 0) state.SkipWithError("refused");
    if (stream != nullptr) HpiMemFree(stream);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(file)));
}
BENCHMARK(BM_StreamLargeIdat)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Pngcheck16MiBIdat(benchmark::State& state) { RunPngcheck(state, {LargeIdatPng()}); }
BENCHMARK(BM_Pngcheck16MiBIdat)->Unit(benchmark::kMillisecond)->UseRealTime();

// The CRC alone, in memory.
void BM_Crc32(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(1u << 20, 0xA5);
  for (auto _ : state) benchmark::DoNotOptimize(hpi::ComputeCrc32(bytes.data(), bytes.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMicrosecond);

const int registered = bench_support::RegisterCorpus({"png", "mng", "jng"});

}  // namespace
