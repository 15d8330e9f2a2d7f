// The corpus folders, and a generated WAVE with 50,000 cue points and a LIST of
// 10,000 INFO chunks.
#include <filesystem>
#include <fstream>

#include "corpus_bench.h"
#include "hpi/exports.h"

namespace {

using testing_support::Bytes;

constexpr std::uint32_t kCuePoints = 50000;
constexpr std::uint32_t kInfoChunks = 10000;

void Append(Bytes& to, const std::vector<std::uint8_t>& more) {
  to.Vector().insert(to.Vector().end(), more.begin(), more.end());
}

std::vector<std::uint8_t> ManyCuesAndInfoChunks() {
  Bytes fmt;
  fmt.Text("fmt ").LE32(16).LE16(1).LE16(1).LE32(8000).LE32(16000).LE16(2).LE16(16);
  Bytes data;
  data.Text("data").LE32(16000).Zeros(16000);
  Bytes cue;
  cue.Text("cue ").LE32(4 + 24 * kCuePoints).LE32(kCuePoints);
  for (std::uint32_t i = 0; i < kCuePoints; ++i) cue.LE32(i).LE32(i * 2).Text("data").LE32(0).LE32(0).LE32(i * 2);
  Bytes info;
  for (std::uint32_t i = 0; i < kInfoChunks; ++i) info.Text(i % 2 ? "ICMT" : "INAM").LE32(12).Text("text number ");
  Bytes list;
  list.Text("LIST").LE32(static_cast<std::uint32_t>(4 + info.Size())).Text("INFO");
  Append(list, info);
  Bytes body;
  body.Text("WAVE");
  for (const Bytes* part : {&fmt, &data, &cue, &list}) Append(body, *part);
  Bytes file;
  file.Text("RIFF").LE32(static_cast<std::uint32_t>(body.Size()));
  Append(file, body);
  return file.Vector();
}

void ManyRecords(benchmark::State& state) {
  auto path = std::filesystem::temp_directory_path() / "sorvane-bench-many-records.wav";
  {
    auto bytes = ManyCuesAndInfoChunks();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::size_t items = 0;
  for (auto _ : state) {
    auto analysed = testing_support::AnalysePath(path);
    if (!analysed.ok) state.SkipWithError(analysed.error.c_str());
    items = analysed.tree.Items().size();
  }
  state.counters["items"] = static_cast<double>(items);
  std::filesystem::remove(path);
}

// The plug-in's part alone: the analysis and the stream, without the host's tree.
void ManyRecordsStreamOnly(benchmark::State& state) {
  auto path = std::filesystem::temp_directory_path() / "sorvane-bench-stream-only.wav";
  {
    auto bytes = ManyCuesAndInfoChunks();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::uint32_t length = 0;
  for (auto _ : state) {
    HpiMemHandle stream = nullptr;
    length = HPI_GetHeadAnalyzedData(path.string().c_str(), &stream, 0, 0, 0, nullptr);
    if (stream != nullptr) HpiMemFree(stream);
  }
  state.counters["stream_bytes"] = static_cast<double>(length);
  std::filesystem::remove(path);
}

const int registered = [] {
  benchmark::RegisterBenchmark("Generated/50000Cues10000Info/StreamOnly", ManyRecordsStreamOnly)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Generated/50000Cues10000Info", ManyRecords)->Unit(benchmark::kMillisecond);
  return bench_support::RegisterCorpus({"wav", "aiff", "aifc", "au"});
}();

}  // namespace
