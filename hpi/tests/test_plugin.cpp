// A minimal plug-in for the framework's tests: it accepts files starting with
// "TEST", writes one range item per byte up to 8, and reports the file's length.
// A '!' fails the analysis there; a '~' writes a warning about offset 2 and goes on.
#include "test_plugin.h"

#include "hpi/plugin.h"

namespace {

constexpr hpi::MessageRow kRows[] = {{kTestCode, "[HPI_PLUGIN] Test error!", "[HPI_PLUGIN] テストエラー"}};
constexpr hpi::MessageTable kMessages{kRows, true};

int IsSupported(const std::uint8_t* head, std::size_t length) {
  return length >= 4 && head[0] == 'T' && head[1] == 'E' && head[2] == 'S' && head[3] == 'T' ? 7 : 0;
}

bool Analyse(hpi::Analysis& a) {
  std::uint8_t byte = 0;
  for (std::uint32_t i = 0; i < 8 && hpi::ReadByte(a.file, byte) == 1; ++i) {
    if (byte == '!') {
      hpi::SetPluginError(kTestCode);
      return false;
    }
    if (byte == '~') {  // a nested structure that cannot be read: a warning, then on
      hpi::FailAt(kTestCode, 2);
      if (!hpi::WriteRecordedFault(a)) return false;
      continue;
    }
    if (byte == '?') {
      hpi::SetPluginError(99);  // a code without a text
      return false;
    }
    a.out.WriteItem("byte", 1, i, 1);
  }
  if (a.report != nullptr) a.report->Line("length %u", static_cast<unsigned>(a.fileSize));
  return a.out.Ok();
}

constexpr hpi::PluginDescriptor kTest{{"Test.hpi ver. 1.00 test Plug-In \nCopyright", "Test file(*.tst)", "*.tst"},
                                      kMessages,
                                      4,
                                      false,
                                      IsSupported,
                                      nullptr,
                                      Analyse,
                                      "Test.hpi ver.1.00."};

}  // namespace

const hpi::PluginDescriptor& hpi::ThisPlugin() { return kTest; }
