#include <filesystem>
#include <fstream>

#include "../tests/icon_builder.h"
#include "corpus_bench.h"

namespace {

// An icon of 200 32x32 images of 4 bits per pixel: its stream and its full report.
void IconWith200Images(benchmark::State& state) {
  auto icon = voltane_test::MakeIcon(std::vector<voltane_test::IconImage>(200, voltane_test::IconImage{}));
  auto path = std::filesystem::temp_directory_path() / "voltane_bench_200_images.ico";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(icon.Vector().data()), static_cast<std::streamsize>(icon.Size()));
  std::size_t reportBytes = 0;
  for (auto _ : state) {
    auto analysed = testing_support::AnalysePath(path);
    if (!analysed.ok || analysed.report.find("\t\tIcon[199]") == std::string::npos) {
      state.SkipWithError("the report lacks images");
    }
    reportBytes = analysed.report.size();
  }
  state.counters["report_bytes"] = static_cast<double>(reportBytes);
  std::filesystem::remove(path);
}
BENCHMARK(IconWith200Images)->Unit(benchmark::kMillisecond);

const int registered = bench_support::RegisterCorpus({"bmp", "ico", "cur"});

}  // namespace
