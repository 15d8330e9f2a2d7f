#include <filesystem>
#include <fstream>

#include "corpus_bench.h"
#include "hpi/exports.h"

namespace {

using testing_support::Bytes;

// An animation of 10,000 frames, each a graphic control extension and a 4x4
// image of one 16-byte data sub-block.
std::filesystem::path MakeAnimation(int frames) {
  Bytes b;
  b.Text("GIF89a").LE16(4).LE16(4).U8(0xF0).U8(0).U8(0).Zeros(6);
  b.U8(0x21).U8(0xFF).U8(11).Text("NETSCAPE2.0").U8(3).U8(1).LE16(0).U8(0);
  for (int i = 0; i < frames; ++i) {
    b.U8(0x21).U8(0xF9).U8(4).U8(0x04).LE16(5).U8(0).U8(0);
    b.U8(0x2C).LE16(0).LE16(0).LE16(4).LE16(4).U8(0).U8(2).U8(16).Zeros(16).U8(0);
  }
  b.U8(0x3B);
  auto path = std::filesystem::temp_directory_path() / "luscane_bench_10000_frames.gif";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.Vector().data()), static_cast<std::streamsize>(b.Size()));
  return path;
}

// The plug-in's analysis alone, through its export, without the host's reader.
void TenThousandFramesPlugInOnly(benchmark::State& state) {
  auto path = MakeAnimation(10000);
  std::uint32_t length = 0;
  for (auto _ : state) {
    HpiMemHandle stream = nullptr;
    length = HPI_GetHeadAnalyzedData(path.string().c_str(), &stream, 0, 0, 0, nullptr);
    if (length == 0) state.SkipWithError("analysis failed");
    if (stream != nullptr) HpiMemFree(stream);
  }
  state.counters["stream_bytes"] = static_cast<double>(length);
  std::filesystem::remove(path);
}
BENCHMARK(TenThousandFramesPlugInOnly)->Unit(benchmark::kMillisecond);

// The analysis and the host's reader building the item tree.
void TenThousandFrames(benchmark::State& state) {
  auto path = MakeAnimation(10000);
  std::uint64_t items = 0;
  for (auto _ : state) {
    auto analysed = testing_support::AnalysePath(path);
    if (!analysed.ok) state.SkipWithError(analysed.error.c_str());
    items = analysed.tree.Items().size();
  }
  state.counters["items"] = static_cast<double>(items);
  std::filesystem::remove(path);
}
BENCHMARK(TenThousandFrames)->Unit(benchmark::kMillisecond);

const int registered = bench_support::RegisterCorpus({"gif"});

}  // namespace
