// Benchmarks of the plug-in linked into a benchmark program over corpus folders:
// each iteration analyses every file of the folder and reads its stream back.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "plugin_harness.h"

namespace bench_support {

inline void AnalyseAll(benchmark::State& state, const std::string& format) {
  auto files = testing_support::CorpusFiles(format);
  if (files.empty()) {
    state.SkipWithError("no corpus folder");
    return;
  }
  std::uint64_t bytes = 0;
  std::uint64_t items = 0;
  for (auto _ : state) {
    for (const auto& file : files) {
      auto analysed = testing_support::AnalysePath(file);
      items += analysed.tree.Items().size();
      bytes += std::filesystem::file_size(file);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["s_per_file"] = benchmark::Counter(
      static_cast<double>(files.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["items"] = static_cast<double>(items) / static_cast<double>(state.iterations());
}

// Registers Corpus/<format> for each folder.
inline int RegisterCorpus(std::initializer_list<const char*> formats) {
  for (const char* format : formats) {
    std::string name = std::string("Corpus/") + format;
    benchmark::RegisterBenchmark(name.c_str(), [format](benchmark::State& s) { AnalyseAll(s, format); });
  }
  return 0;
}

}  // namespace bench_support
