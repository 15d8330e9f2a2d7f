// The hex search dialog driven through the main window: hits across the block
// boundary scrolled into view and selected, the same text continuing after the
// last hit, the edit filled from the hex selection, and its messages.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "resource.h"
#include "strataview/host_messages.h"
#include "ui_fixture.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr wchar_t kTitle[] = L"16進文字列の検索";
const std::string kFile = "bmp/bmpsuite-pal8-0.bmp";

std::string HexDigits(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t n) {
  std::string text;
  char pair[4];
  for (std::size_t i = from; i < from + n; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

// The selected digits of the hex pane without spaces and line breaks.
std::string SelectedDigits(MainFrame& frame) {
  TextRange range = frame.Dump().HexSelectionRange();
  std::string text = frame.Dump().Window().Text(kHexColumn).substr(range.from, range.to - range.from);
  std::erase_if(text, [](char c) { return c == ' ' || c == '\r' || c == '\n'; });
  return text;
}

class SearchDialogTest : public WindowTest {
 protected:
  // Types the text, presses "次を検索(&F)" and waits for the worker's end inside the dialog.
  void Find(HWND dialog, const std::string& text) {
    SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, Widen(text).c_str());
    SendMessageW(dialog, WM_COMMAND, IDC_SEARCH_FIND, 0);
    for (int i = 0; i < 200 && Frame().Search().Running(); ++i) PumpMessages(10);
    PumpMessages(60);
  }
  void Close(HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }
};

TEST_F(SearchDialogTest, FindsAPatternAcrossTheBlockBoundaryThenTheNextOrTheEnd) {
  std::string path = CorpusPath(kFile);
  std::vector<std::uint8_t> bytes = FileBytes(path);
  ASSERT_GT(bytes.size(), 2100u);
  Frame().AnalyseFile(path);
  TreeView_SelectItem(Frame().Tree().Window(), TreeView_GetRoot(Frame().Tree().Window()));
  const std::size_t at = 1995, n = 10;
  std::string digits = HexDigits(bytes, at, n);
  auto first = std::search(bytes.begin(), bytes.end(), bytes.begin() + at, bytes.begin() + at + n) - bytes.begin();
  auto next =
      std::search(bytes.begin() + first + 1, bytes.end(), bytes.begin() + at, bytes.begin() + at + n) - bytes.begin();

  std::wstring completed;
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    Find(dialog, digits);
    EXPECT_EQ(Frame().Search().State().LastHit(), static_cast<std::uint64_t>(first));
    EXPECT_EQ(SelectedDigits(Frame()), digits);
    EXPECT_EQ(TreeView_GetSelection(Frame().Tree().Window()), nullptr);
    if (static_cast<std::size_t>(next) < bytes.size()) {
      Find(dialog, digits);
      EXPECT_EQ(Frame().Search().State().LastHit(), static_cast<std::uint64_t>(next));
    }
    Robot().OnDialog(Widen(kMessageCaption), [&](HWND box) {
      completed = ControlText(box, 0xFFFF);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Find(dialog, digits);
    Close(dialog);
  });
  Command(IDM_SEARCH);
  EXPECT_TRUE(Robot().AllDone());
  EXPECT_EQ(completed, Widen(SearchCompletedText(HostLanguage::Japanese)));
}

TEST_F(SearchDialogTest, OpeningFillsTheEditFromTheHexSelectionAndKeepsTheDirection) {
  std::string path = CorpusPath(kFile);
  std::vector<std::uint8_t> bytes = FileBytes(path);
  Frame().AnalyseFile(path);
  Frame().Dump().ShowRange({16, 2});
  char expected[16];
  std::snprintf(expected, sizeof expected, " %02x %02x", bytes[16], bytes[17]);

  std::wstring text;
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    text = ControlText(dialog, IDC_SEARCH_TEXT);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SEARCH_DOWN), BST_CHECKED);
    CheckRadioButton(dialog, IDC_SEARCH_UP, IDC_SEARCH_DOWN, IDC_SEARCH_UP);
    SendMessageW(dialog, WM_COMMAND, IDC_SEARCH_UP, 0);
    Close(dialog);
  });
  Command(IDM_SEARCH);
  EXPECT_EQ(text, Widen(expected));

  Robot().OnDialog(kTitle, [&](HWND dialog) {
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SEARCH_UP), BST_CHECKED);
    Close(dialog);
  });
  Command(IDM_SEARCH);
  EXPECT_TRUE(Robot().AllDone());
}

TEST_F(SearchDialogTest, InvalidTextsAndAMissingFileShowTheirMessages) {
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    Find(dialog, "41 42");  // no file yet
    Find(dialog, "4 1");
    Find(dialog, std::string(51, '4'));
    Close(dialog);
  });
  Command(IDM_SEARCH);
  PumpMessages(100);
  std::vector<std::wstring> errors = Robot().TakeErrors();
  std::wstring noFile = Widen(HostMessageText(kMsgFileNotOpened, HostLanguage::Japanese));
  std::wstring invalid = Widen(HostMessageText(kMsgInvalidSearch, HostLanguage::Japanese));
  EXPECT_EQ(errors, (std::vector<std::wstring>{noFile, invalid, invalid}));
}

TEST_F(SearchDialogTest, CancelStopsARunningSearchWithoutAMessage) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"strataview-search-zeros.bin";
  {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    std::vector<char> zeros(1 << 20, 0);
    for (int i = 0; i < 256; ++i) out.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  Frame().AnalyseFile(Narrow(path));
  PumpMessages(100);
  Robot().TakeErrors();  // no plug-in takes the file; the dump shows it all the same

  bool running = false;
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, L"01");
    SendMessageW(dialog, WM_COMMAND, IDC_SEARCH_FIND, 0);
    running = Frame().Search().Running();
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  bool informed = false;
  Command(IDM_SEARCH);
  Robot().OnDialog(Widen(kMessageCaption), [&](HWND box) {
    informed = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  for (int i = 0; i < 500 && Frame().Search().Running(); ++i) PumpMessages(10);
  PumpMessages(200);
  EXPECT_TRUE(running);
  EXPECT_FALSE(Frame().Search().Running());
  EXPECT_FALSE(informed);
  EXPECT_TRUE(Robot().TakeErrors().empty());
  Frame().AnalyseFile(CorpusPath(kFile));  // releases the big file
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace strataview::ui::testing
