#include "strataview/report_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "strataview/host_messages.h"

namespace {

using strataview::PaginateReport;
using strataview::PrintedLines;
using strataview::ReportPage;
using Lines = std::vector<std::wstring>;

TEST(PrintedLines, LineBreaks) {
  EXPECT_EQ(PrintedLines(L"one\r\ntwo\nthree\n\nfour\r\rfive\n\rsix"),
            (Lines{L"one", L"two", L"three", L"four", L"five", L"six"}))
      << "CR LF, LF, LF LF, CR CR and LF CR each end one line";
  EXPECT_EQ(PrintedLines(L"a\r\n\r\nb\r\n"), (Lines{L"a", L"", L"b"})) << "an empty line between two CR LFs";
  EXPECT_EQ(PrintedLines(L"a\n\n\nb"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(PrintedLines(L"\r\nx"), (Lines{L"", L"x"}));
  EXPECT_TRUE(PrintedLines(L"").empty());
}

TEST(PrintedLines, TabsExpandToMultiplesOfEight) {
  EXPECT_EQ(PrintedLines(L"abc\tX"), Lines{L"abc     X"}) << "a tab at column 3 is five spaces";
  EXPECT_EQ(PrintedLines(L"\tX"), Lines{L"        X"});
  EXPECT_EQ(PrintedLines(L"12345678\tX"), Lines{L"12345678        X"});
  EXPECT_EQ(PrintedLines(L"1234567\t\tX"), Lines{L"1234567         X"});
}

TEST(PrintedLines, LongLinesContinueOnTheNextLine) {
  std::wstring longLine(300, L'x');
  EXPECT_EQ(PrintedLines(longLine + L"\r\ny"), (Lines{std::wstring(255, L'x'), std::wstring(45, L'x'), L"y"}));
  EXPECT_EQ(PrintedLines(std::wstring(255, L'x') + L"\r\ny"), (Lines{std::wstring(255, L'x'), L"y"}))
      << "a full line's own break is not an extra empty line";
  Lines tabbed = PrintedLines(std::wstring(250, L'x') + L"\tY");
  ASSERT_EQ(tabbed.size(), 2u);
  EXPECT_EQ(tabbed[0], std::wstring(250, L'x') + L"     ") << "a tab stops at 255 columns";
  EXPECT_EQ(tabbed[1], L"Y");
}

TEST(PaginateReport, EveryLineOfALongReportIsOnExactlyOnePage) {
  // 3000 units high, margins of 100: lines at y = 100, 150, ... up to 2850.
  std::vector<ReportPage> pages = PaginateReport(200, 50, 3000);
  ASSERT_EQ(pages.size(), 4u);
  std::size_t next = 0;
  for (const ReportPage& page : pages) {
    EXPECT_EQ(page.first, next);
    EXPECT_LE(page.count, 56u);
    EXPECT_GT(page.count, 0u);
    EXPECT_LE(strataview::kPrintMargin + static_cast<int>(page.count) * 50, 3000 - strataview::kPrintMargin);
    next += page.count;
  }
  EXPECT_EQ(next, 200u);
  EXPECT_EQ(pages[0].count, 56u);
}

TEST(PaginateReport, EdgeSizes) {
  EXPECT_TRUE(PaginateReport(0, 50, 3000).empty());
  std::vector<ReportPage> tall = PaginateReport(3, 5000, 3000);
  ASSERT_EQ(tall.size(), 3u) << "a line taller than the page still gets a page";
  EXPECT_EQ(tall[2].first, 2u);
  EXPECT_EQ(PaginateReport(56, 50, 3000).size(), 1u);
  EXPECT_EQ(PaginateReport(57, 50, 3000).size(), 2u);
}

TEST(ReportFile, EachLfIsWrittenAsCrLf) {
  EXPECT_EQ(strataview::ReportFileBytes("a\nb\r\nc\r"), "a\r\nb\r\r\nc\r");
  EXPECT_EQ(strataview::ReportFileBytes("\x82\xa0\n"), "\x82\xa0\r\n") << "Shift-JIS bytes pass unchanged";
}

TEST(ReportFile, SavingWritesTheExactBytesOverAnOlderFile) {
  auto path = std::filesystem::temp_directory_path() / "strataview_report_test.txt";
  std::ofstream(path, std::ios::binary) << std::string(1000, 'z');
  std::string text = "Report\n\tline\x82\xa0\n";
  ASSERT_EQ(strataview::SaveReportFile(path.string(), text), 0);
  std::ifstream in(path, std::ios::binary);
  std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved, "Report\r\n\tline\x82\xa0\r\n");
  in.close();
  std::filesystem::remove(path);
  EXPECT_EQ(strataview::SaveReportFile((path / "missing" / "x.txt").string(), text), strataview::kMsgFileOpen);
}

}  // namespace
