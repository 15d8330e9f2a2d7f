// Partial analyses in the tests: what a failed analysis hands over when the host asks.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hpi/exports.h"
#include "strataview/stream_reader.h"
#include "tree_helpers.h"

namespace kavlore_test {

struct Partial {
  bool ok = false;      // the analysis succeeded
  bool handed = false;  // a stream came back
  strataview::ItemTree tree;
  strataview::StreamFaults faults;
};

inline Partial AnalysePartialPath(const std::filesystem::path& path) {
  Partial result;
  HPI_SetLanguage(hpi::kEnglish);
  HpiMemHandle stream = nullptr;
  std::uint32_t length = HPI_GetHeadAnalyzedData(path.string().c_str(), &stream, hpi::kRequestPartial, 0, 0, nullptr);
  result.handed = stream != nullptr;
  result.ok = length != 0 && (length & hpi::kPartialResult) == 0;
  if (stream != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(HpiMemLock(stream));
    EXPECT_EQ(strataview::BuildItemTree(length & ~hpi::kPartialResult, bytes, result.tree, &result.faults), 0);
    HpiMemUnlock(stream);
    HpiMemFree(stream);
  }
  return result;
}

inline Partial AnalysePartial(const std::vector<std::uint8_t>& bytes) {
  auto path = std::filesystem::temp_directory_path() / ("kavlore-partial-" + std::to_string(bytes.size()) + ".bin");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Partial result = AnalysePartialPath(path);
  std::filesystem::remove(path);
  return result;
}

}  // namespace kavlore_test
