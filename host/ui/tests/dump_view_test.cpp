// The dump panes over real files: the window's texts, the bytes a tree item
// selects, hostile ranges, copying, and a 5 GB sparse file scrolled to its end.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>
#include <winioctl.h>

#include <cstdio>
#include <filesystem>

#include "resource.h"
#include "strataview/stream_reader.h"
#include "ui_fixture.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr UINT kShiftJis = 932;

// The hex digits of a hex-column text, without spaces and line breaks.
std::string Digits(const std::wstring& text) {
  std::string digits;
  for (wchar_t c : text) {
    if (c != L' ' && c != L'\r' && c != L'\n') digits += static_cast<char>(c);
  }
  return digits;
}

std::string HexOf(const std::vector<std::uint8_t>& bytes, std::uint64_t from, std::uint64_t to) {
  std::string digits;
  char pair[3];
  for (std::uint64_t i = from; i < to; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    digits += pair;
  }
  return digits;
}

class DumpViewTest : public WindowTest {
 protected:
  HWND Pane(int id) { return Frame().Dump().Pane(id); }
  std::wstring SelectedHex() {
    TextRange range = Frame().Dump().HexSelectionRange();
    std::wstring text = WindowText(Pane(IDC_HEX_PANE));
    if (range.to <= range.from) return {};
    return text.substr(static_cast<std::size_t>(range.from), static_cast<std::size_t>(range.to - range.from));
  }
  // The largest file of a corpus folder that a plug-in reads.
  static std::string Largest(const char* folder) {
    std::string best;
    std::size_t size = 0;
    for (const std::string& file : CorpusFiles(folder)) {
      std::size_t n = FileBytes(file).size();
      if (n > size && !CoreReading(file).Items().empty()) best = file, size = n;
    }
    return best;
  }
  // Tag and folder items with a range, in tree order.
  std::vector<HTREEITEM> RangeItems(HTREEITEM item) {
    std::vector<HTREEITEM> found;
    for (; item != nullptr; item = TreeView_GetNextSibling(Frame().Tree().Window(), item)) {
      if (Frame().Tree().RangeOf(item)) found.push_back(item);
      TreeView_Expand(Frame().Tree().Window(), item, TVE_EXPAND);
      auto inner = RangeItems(TreeView_GetChild(Frame().Tree().Window(), item));
      found.insert(found.end(), inner.begin(), inner.end());
    }
    return found;
  }
};

TEST_F(DumpViewTest, PanesShowTheWindowOfTheFileAndFollowScrolling) {
  std::string path = Largest("bmp");
  std::vector<std::uint8_t> bytes = FileBytes(path);
  ASSERT_GT(bytes.size(), 3 * kWindowLines * kBytesPerLine);
  Frame().AnalyseFile(path);
  const DumpWindow& window = Frame().Dump().Window();
  ASSERT_EQ(window.LoadedLines(), kWindowLines);

  EXPECT_EQ(Digits(WindowText(Pane(IDC_HEX_PANE))), HexOf(bytes, 0, kWindowLines * kBytesPerLine));
  EXPECT_EQ(WindowText(Pane(IDC_ADDRESS_PANE)), Widen(window.Text(kAddressColumn)));
  EXPECT_EQ(WindowText(Pane(IDC_CHAR_PANE)), Widen(window.Text(kCharColumn), kShiftJis));
  EXPECT_EQ(WindowText(Pane(IDC_HEADER_PANE)), Widen(HeaderFor(false).full));

  std::uint64_t visible = Frame().Dump().VisibleLines();
  ASSERT_GT(visible, 10u);
  Frame().Dump().VerticalScroll(ScrollRequest::PageDown, 0);
  Frame().Dump().VerticalScroll(ScrollRequest::LineDown, 0);
  EXPECT_EQ(window.TopLine(), visible + 1);
  std::uint64_t first = (visible + 1) * kBytesPerLine;
  EXPECT_EQ(Digits(WindowText(Pane(IDC_HEX_PANE))).substr(0, 32), HexOf(bytes, first, first + 16));
  EXPECT_EQ(WindowText(Pane(IDC_ADDRESS_PANE)).substr(0, 10), Widen(AddressText(visible + 1, false)).substr(0, 10));
  EXPECT_EQ(WindowText(Pane(IDC_HEX_PANE)), Widen(window.Text(kHexColumn)));
}

TEST_F(DumpViewTest, SelectingATreeItemSelectsItsBytes) {
  std::string path = Largest("bmp");
  std::vector<std::uint8_t> bytes = FileBytes(path);
  Frame().AnalyseFile(path);
  HWND tree = Frame().Tree().Window();
  std::vector<HTREEITEM> items = RangeItems(TreeView_GetRoot(tree));
  ASSERT_GE(items.size(), 2u);

  for (HTREEITEM item : {items.front(), items[items.size() / 2], items.back()}) {
    ByteRange range = *Frame().Tree().RangeOf(item);
    TreeView_SelectItem(tree, item);
    const DumpWindow& window = Frame().Dump().Window();
    std::uint64_t end = std::min<std::uint64_t>(range.offset + range.size, bytes.size());
    std::uint64_t shownEnd = (window.TopLine() + window.LoadedLines()) * kBytesPerLine;
    ASSERT_LE(window.TopLine() * kBytesPerLine, range.offset);
    EXPECT_EQ(Digits(SelectedHex()), HexOf(bytes, range.offset, std::min(end, shownEnd)))
        << "offset " << range.offset << " size " << range.size;
    if (end <= shownEnd && range.size <= Frame().Dump().VisibleLines() * kBytesPerLine) {
      EXPECT_LT((end - 1) / kBytesPerLine - window.TopLine(), Frame().Dump().VisibleLines());
    }
  }

  // An item without a range clears the selection; the next scroll selects the range again.
  HTREEITEM root = TreeView_GetRoot(tree);
  TreeView_SelectItem(tree, root);
  EXPECT_TRUE(SelectedHex().empty());
  Frame().Dump().VerticalScroll(ScrollRequest::LineUp, 0);
  EXPECT_FALSE(SelectedHex().empty());
}

TEST_F(DumpViewTest, RangesBeyondTheFileAreClampedOrIgnored) {
  std::string path = CorpusPath("bmp/bmpsuite-pal8-0.bmp");
  std::vector<std::uint8_t> bytes = FileBytes(path);
  Frame().AnalyseFile(path);
  Frame().Tree().Clear();
  // A field starting inside the file and running far past its end, and one starting beyond it.
  const std::uint8_t stream[] = {
      0x04, 0x50, 'f',  'i',  'l',  'e',               // root name
      0x03, 0x5E, 'o',  'n',  'e',                     // field name
      0x04, 0x0F, 0x10, 0x00, 0x00, 0x00,              // offset 16
      0x04, 0x1F, 0xFF, 0xFF, 0xFF, 0xFF,              // size 0xffffffff
      0x03, 0x5E, 't',  'w',  'o',                     // field name
      0x04, 0x0F, 0xF0, 0xFF, 0xFF, 0xFF,              // offset 0xfffffff0
      0x08, 0x1F, 0,    1,    0,    0,    0, 0, 0, 0,  // size 0x100
  };
  ASSERT_EQ(BuildItemTree(sizeof stream, stream, Frame().Tree().Items()), 0);
  Frame().Tree().ShowItems();
  HWND tree = Frame().Tree().Window();
  TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
  HTREEITEM one = TreeView_GetChild(tree, TreeView_GetRoot(tree));
  HTREEITEM two = TreeView_GetNextSibling(tree, one);

  TreeView_SelectItem(tree, one);
  const DumpWindow& window = Frame().Dump().Window();
  ASSERT_LE(window.TopLine(), 1u);
  std::uint64_t shownEnd =
      std::min<std::uint64_t>(bytes.size(), (window.TopLine() + window.LoadedLines()) * kBytesPerLine);
  EXPECT_EQ(Digits(SelectedHex()), HexOf(bytes, 16, shownEnd));
  TreeView_SelectItem(tree, two);
  EXPECT_TRUE(SelectedHex().empty());
  Frame().Dump().VerticalScroll(ScrollRequest::PageDown, 0);
  EXPECT_TRUE(Robot().TakeErrors().empty());
}

TEST_F(DumpViewTest, CopyPutsTheSelectedHexTextOnTheClipboard) {
  std::string path = CorpusFiles("bmp").front();
  Frame().AnalyseFile(path);
  Frame().Dump().ShowRange({2, 4});
  std::wstring selected = SelectedHex();
  ASSERT_EQ(selected.size(), 12u);
  SendMessageW(Pane(IDC_HEX_PANE), WM_COMMAND, IDM_COPY, 0);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_TEXT);
  ASSERT_NE(data, nullptr);
  std::string copied = static_cast<const char*>(GlobalLock(data));
  GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(Widen(copied), selected);
}

TEST_F(DumpViewTest, AFiveGigabyteSparseFileScrollsToItsEnd) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring file = std::wstring(folder) + L"strataview-sparse.bin";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD ignored;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 5LL << 30;
  ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  CloseHandle(h);

  Frame().Dump().Open(Narrow(file));
  const DumpWindow& window = Frame().Dump().Window();
  ASSERT_TRUE(window.Wide());
  EXPECT_EQ(WindowText(Pane(IDC_HEADER_PANE)), Widen(HeaderFor(true).full));
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(Frame().Dump().Frame(), SB_VERT, &info);
  Frame().Dump().VerticalScroll(ScrollRequest::Track, info.nMax - static_cast<int>(info.nPage) + 1);
  std::uint64_t visible = Frame().Dump().VisibleLines();
  EXPECT_EQ(window.TopLine() + visible, window.LineCount());
  std::wstring addresses = WindowText(Pane(IDC_ADDRESS_PANE));
  EXPECT_NE(addresses.find(L"0x000000013ffffff0"), std::wstring::npos);
  Frame().Dump().VerticalScroll(ScrollRequest::PageDown, 0);
  EXPECT_EQ(window.TopLine() + visible, window.LineCount());
  Frame().Dump().ShowRange({0, 16});
  EXPECT_EQ(window.TopLine(), 0u);
  DeleteFileW(file.c_str());
  EXPECT_TRUE(Robot().TakeErrors().empty());
}

}  // namespace
}  // namespace strataview::ui::testing
