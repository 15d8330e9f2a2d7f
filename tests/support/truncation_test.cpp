// Linked into every plug-in's tests: corpus files of the plug-in's formats cut at
// the boundaries of their structures keep everything found before the cut.
#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "hpi/exports.h"
#include "plugin_harness.h"

namespace {

struct PluginFormats {
  std::string_view plugin;  // the info record's description starts with it
  std::vector<std::string_view> formats;
};

const PluginFormats kFormats[] = {
    {"Kavlore", {"zip", "gzip", "cab", "lzh"}},
    {"Pendrix", {"png", "mng", "jng"}},
    {"Sorvane", {"wav", "aiff", "aifc", "au"}},
    {"Tamsele", {"jpeg"}},
    {"Brindol", {"tiff"}},
    {"Luscane", {"gif"}},
    {"Voltane", {"bmp", "ico", "cur"}},
};

std::vector<std::string_view> FormatsOfThisPlugin() {
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
  for (std::string_view format : FormatsOfThisPlugin()) {
    std::vector<std::filesystem::path> files = testing_support::CorpusFiles(format);
    std::size_t step = files.size() / kFilesPerFormat + 1;
    for (std::size_t i = 0; i < files.size(); i += step) cuts += testing_support::CheckTruncations(files[i], 25);
  }
  if (cuts == 0) GTEST_SKIP() << "no corpus files";
}

}  // namespace
