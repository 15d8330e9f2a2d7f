// Linked into every plug-in's tests: corpus files of the plug-in's formats cut at
// the boundaries of their structures keep everything found before the cut.
#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "hpi/exports.h"
#include "plugin_harness.h"

namespace {

struct Format {
  std::string_view folder;
  std::size_t trailerBytes;  // read from the end of the file, whatever comes before
};

struct PluginFormats {
  std::string_view plugin;  // the info record's description starts with it
  std::vector<Format> formats;
};

// A GZIP member's trailer is taken from the last 8 bytes of the file.
const PluginFormats kFormats[] = {
    {"Kavlore", {{"zip", 0}, {"gzip", 8}, {"cab", 0}, {"lzh", 0}}},
    {"Pendrix", {{"png", 0}, {"mng", 0}, {"jng", 0}}},
    {"Sorvane", {{"wav", 0}, {"aiff", 0}, {"aifc", 0}, {"au", 0}}},
    {"Tamsele", {{"jpeg", 0}}},
    {"Brindol", {{"tiff", 0}}},
    {"Luscane", {{"gif", 0}}},
    {"Voltane", {{"bmp", 0}, {"ico", 0}, {"cur", 0}}},
};

std::vector<Format> FormatsOfThisPlugin() {
  char info[hpi::kInfoRecordSize] = {};
  HPI_GetPluginInfo(info);
  std::string_view description(info + hpi::kInfoDescriptionOffset);
  for (const PluginFormats& p : kFormats) {
    if (description.starts_with(p.plugin)) return p.formats;
  }
  return {};
}

TEST(Partial, CorpusPrefixesKeepWhatWasFoundBeforeTheCut) {
  constexpr std::size_t kFilesPerFormat = 4;
  int cuts = 0;
  for (const Format& format : FormatsOfThisPlugin()) {
    std::vector<std::filesystem::path> files = testing_support::CorpusFiles(format.folder);
    std::size_t step = files.size() / kFilesPerFormat + 1;
    for (std::size_t i = 0; i < files.size(); i += step) {
      cuts += testing_support::CheckTruncations(files[i], 25, format.trailerBytes);
    }
  }
  if (cuts == 0) GTEST_SKIP() << "no corpus files";
}

}  // namespace
