#include <filesystem>
#include <fstream>

#include "builders.h"
#include "corpus_bench.h"

namespace {

const int registered = bench_support::RegisterCorpus({"tiff"});

// A TIFF whose chain holds 10,000 directories of three entries each.
std::filesystem::path LongChain() {
  std::vector<tiffjpeg_test::Directory> dirs(10000, {{{254, 4, 1, {1}}, {256, 3, 1, {64}}, {257, 3, 1, {64}}}});
  auto bytes = tiffjpeg_test::TiffBuilder().Build(dirs);
  auto path = std::filesystem::temp_directory_path() / "brindol_bench_chain.tif";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void ChainOf10000Ifds(benchmark::State& state) {
  auto path = LongChain();
  for (auto _ : state) {
    auto analysed = testing_support::AnalysePath(path);
    if (!analysed.ok) state.SkipWithError(analysed.error.c_str());
    benchmark::DoNotOptimize(analysed.tree.Items().size());
  }
  std::filesystem::remove(path);
}
BENCHMARK(ChainOf10000Ifds)->Unit(benchmark::kMillisecond);

}  // namespace
