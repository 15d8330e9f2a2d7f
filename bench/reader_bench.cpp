// The host's stream reader and the cost of loading plug-ins once per operation.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "strataview/analysis_driver.h"
#include "strataview/item_tree.h"
#include "strataview/platform/files.h"
#include "strataview/platform/library.h"
#include "strataview/platform/settings_store.h"
#include "strataview/stream_reader.h"

namespace {

using namespace strataview;

// Counts the items without keeping them: the reader's own cost.
class CountingSink : public ItemSink {
 public:
  std::optional<ItemHandle> Insert(ItemHandle, std::string_view text, int) override {
    bytes += text.size();
    return count++;
  }
  std::size_t count = 0;
  std::size_t bytes = 0;
};

void Record(std::vector<std::uint8_t>& s, int cls, int level, const std::string& payload) {
  s.push_back(static_cast<std::uint8_t>(payload.size()));
  s.push_back(static_cast<std::uint8_t>(cls << 4 | level));
  s.insert(s.end(), payload.begin(), payload.end());
}

// A stream of structures of ten fields each, as the plug-ins write them.
std::vector<std::uint8_t> TypicalStream(int structures) {
  std::vector<std::uint8_t> s;
  Record(s, 5, 0, "sample.bin");
  const std::string word("\x10\x00\x00\x00", 4);
  for (int i = 0; i < structures; ++i) {
    Record(s, 5, 1, "STRUCTURE[" + std::to_string(i) + "]");
    Record(s, 0, 15, word);
    Record(s, 1, 15, word);
    for (int f = 0; f < 10; ++f) {
      Record(s, 5, 14, "fieldName" + std::to_string(f));
      Record(s, 0, 15, word);
      Record(s, 1, 15, word);
      Record(s, 2, 15, word);
      if (f % 3 == 0) Record(s, 6, 15, "a remark on the value");
    }
  }
  return s;
}

void ReaderIntoCountingSink(benchmark::State& state) {
  std::vector<std::uint8_t> stream = TypicalStream(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CountingSink sink;
    int fault = BuildItemTree(static_cast<std::uint32_t>(stream.size()), stream.data(), sink);
    if (fault != 0) state.SkipWithError("reader refused the stream");
    benchmark::DoNotOptimize(sink.count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(ReaderIntoCountingSink)->Arg(20000);

void ReaderIntoItemTree(benchmark::State& state) {
  std::vector<std::uint8_t> stream = TypicalStream(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ItemTree tree;
    BuildItemTree(static_cast<std::uint32_t>(stream.size()), stream.data(), tree);
    benchmark::DoNotOptimize(tree.Items().size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(ReaderIntoItemTree)->Arg(20000);

// One load, export lookup and unload of a plug-in, as every operation does.
void LoadOnePlugin(benchmark::State& state) {
  std::vector<std::string> plugins = ListFiles(ProgramFolder(), ".hpi");
  if (plugins.empty()) {
    state.SkipWithError("no plug-in beside the benchmark");
    return;
  }
  std::string path = ProgramFolder() + plugins.front();
  for (auto _ : state) {
    auto library = Library::Load(path);
    benchmark::DoNotOptimize(library->Symbol("HPI_IsSupported"));
  }
}
BENCHMARK(LoadOnePlugin);

// Choosing a plug-in for a file no plug-in accepts: every plug-in is loaded once.
void ChooseAmongAllPlugins(benchmark::State& state) {
  auto store = OpenSettingsStore();
  PluginManager plugins(ProgramFolder(), *store);
  AnalysisDriver driver(plugins, hpi::kEnglish, PluginChoice::All);
  std::string file = ProgramFolder() + "strataview-cli";
  for (auto _ : state) benchmark::DoNotOptimize(driver.ChoosePlugin(file));
  state.counters["plugins"] = static_cast<double>(plugins.Count());
}
BENCHMARK(ChooseAmongAllPlugins);

}  // namespace
