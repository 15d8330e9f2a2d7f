// The file report dialog: the plug-in's report shown with both buttons enabled,
// saving the exact bytes through the save dialog, and printing every line of a
// long report on as many pages as it needs (into an enhanced metafile).
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "menu_commands.h"
#include "report_printer.h"
#include "resource.h"
#include "strataview/report_text.h"
#include "ui_fixture.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr wchar_t kTitle[] = L"ファイルレポート";
constexpr wchar_t kSaveTitle[] = L"名前を付けて保存";
constexpr int kFileNameEdit = 0x480;   // edt1 of the explorer-style file dialog
constexpr int kFileNameCombo = 0x47c;  // cmb13, where the dialog uses a combo box

int pagesStarted = 0;
int lowestLine = 0, highestLine = 0;
int WINAPI CountPage(HDC) { return ++pagesStarted; }
int WINAPI Succeed(HDC) { return 1; }
int WINAPI StartDocument(HDC, const DOCINFOW*) { return 1; }
constexpr PrintCalls kMetafileCalls = {StartDocument, CountPage, Succeed, Succeed, Succeed};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM lines) {
  if (record->iType == EMR_EXTTEXTOUTW) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* chars =
        reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
    reinterpret_cast<std::vector<std::wstring>*>(lines)->emplace_back(chars, text->emrtext.nChars);
    lowestLine = std::max(lowestLine, static_cast<int>(text->emrtext.ptlReference.y));
    highestLine = std::min(highestLine, static_cast<int>(text->emrtext.ptlReference.y));
  }
  return 1;
}

TEST(ReportPrinterTest, ALongReportGoesOnSeveralPagesWithEveryLine) {
  std::wstring text;
  std::vector<std::wstring> expected;
  for (int i = 0; i < 200; ++i) {
    wchar_t line[32];
    std::swprintf(line, 32, L"line %03d\tend", i);
    text += line;
    text += L"\r\n";
    std::swprintf(line, 32, L"line %03d        end", i);  // the tab at column 8 reaches column 16
    expected.push_back(line);
  }
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  pagesStarted = 0;
  lowestLine = 0;
  highestLine = INT_MAX;
  const int pageHeight = GetDeviceCaps(dc, VERTRES);
  EXPECT_EQ(PrintReport(dc, nullptr, text, kMetafileCalls), 0);
  HENHMETAFILE file = CloseEnhMetaFile(dc);
  std::vector<std::wstring> printed;
  EnumEnhMetaFile(nullptr, file, CollectText, &printed, nullptr);
  DeleteEnhMetaFile(file);
  EXPECT_GT(pagesStarted, 1);
  EXPECT_EQ(highestLine, 100);
  EXPECT_LT(lowestLine, pageHeight - 100);
  EXPECT_EQ(printed, expected);
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(WindowTest, ReportDialogShowsTheReportAndSavesItsExactBytes) {
  Frame().AnalyseFile(CorpusPath("bmp/bmpsuite-pal8-0.bmp"));
  ASSERT_FALSE(Frame().ReportText().empty());
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"strataview-report-test.txt";
  DeleteFileW(path.c_str());

  std::wstring shown;
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    shown = ControlText(dialog, IDC_REPORT_TEXT);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPORT_PRINT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPORT_SAVE)));
    Robot().OnDialog(kSaveTitle, [&](HWND save) {
      HWND name = GetDlgItem(save, kFileNameEdit);
      if (name == nullptr) name = GetDlgItem(save, kFileNameCombo);
      SetWindowTextW(name, path.c_str());
      PostMessageW(save, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(dialog, WM_COMMAND, IDC_REPORT_SAVE, 0);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
  Command(IDM_REPORT);
  EXPECT_TRUE(Robot().AllDone());
  EXPECT_EQ(shown, Widen(Frame().ReportText(), 932));
  EXPECT_TRUE(Robot().TakeErrors().empty());
  EXPECT_EQ(ReadAll(path), ReportFileBytes(Narrow(shown, 932)));
  DeleteFileW(path.c_str());
}

TEST_F(WindowTest, AnEmptyReportKeepsBothButtonsDisabledAndEscapeDoesNothing) {
  ASSERT_TRUE(Frame().ReportText().empty());
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPORT_PRINT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPORT_SAVE)));
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
    EXPECT_TRUE(IsWindow(dialog));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  ShowReportDialog(Frame());
  EXPECT_TRUE(Robot().AllDone());
  EXPECT_TRUE(Robot().TakeErrors().empty());
}

}  // namespace
}  // namespace strataview::ui::testing
