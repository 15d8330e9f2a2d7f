// The main window over corpus files: its tree against the core's reading, the
// open dialog, the menu state, the splitter and the .hpi file type.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>
#include <dlgs.h>

#include "file_type.h"
#include "resource.h"
#include "strataview/host_messages.h"
#include "ui_fixture.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr UINT kShiftJis = 932;

struct TreeItem {
  std::wstring text;
  int image;
};

TreeItem ItemOf(HWND tree, HTREEITEM item) {
  wchar_t text[512] = {};
  TVITEMW data{};
  data.mask = TVIF_TEXT | TVIF_IMAGE;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = 512;
  TreeView_GetItem(tree, &data);
  return {text, data.iImage};
}

// Compares the tree's items under parent with the core's items, in order.
void ExpectSameItems(HWND tree, HTREEITEM first, const ItemTree& core, const std::vector<ItemHandle>& expected,
                     const std::string& where) {
  HTREEITEM item = first;
  for (ItemHandle h : expected) {
    ASSERT_NE(item, nullptr) << where << ": missing item " << core.At(h).text;
    TreeItem shown = ItemOf(tree, item);
    EXPECT_EQ(shown.text, Widen(core.At(h).text, kShiftJis)) << where;
    EXPECT_EQ(shown.image, core.At(h).image) << where << ": " << core.At(h).text;
    TreeView_Expand(tree, item, TVE_EXPAND);
    ExpectSameItems(tree, TreeView_GetChild(tree, item), core, core.At(h).children, where);
    item = TreeView_GetNextSibling(tree, item);
  }
  EXPECT_EQ(item, nullptr) << where << ": more items than the core read";
}

bool MenuGreyed(HWND window, int command) {
  return (GetMenuState(GetMenu(window), command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

using MainFrameTest = WindowTest;

TEST_F(MainFrameTest, TreeHoldsTheCoreReadingOfCorpusFiles) {
  int compared = 0;
  for (const char* folder : {"bmp", "ico", "gif", "png", "jpeg", "tiff", "zip", "gzip", "lzh", "wav", "aiff", "au"}) {
    std::vector<std::string> files = CorpusFiles(folder);
    for (std::size_t i = 0; i < files.size() && i < 1; ++i) {
      ItemTree core = CoreReading(files[i]);
      Frame().AnalyseFile(files[i]);
      HWND tree = Frame().Tree().Window();
      ExpectSameItems(tree, TreeView_GetRoot(tree), core, core.TopLevel(), files[i]);
      compared += core.Items().empty() ? 0 : 1;
    }
  }
  EXPECT_GE(compared, 4);
}

TEST_F(MainFrameTest, OpenDialogAnalysesTheChosenFile) {
  std::string path = CorpusPath("bmp/bmpsuite-pal8-0.bmp");
  Robot().OnDialog(L"開く", [&](HWND dialog) {
    SetDlgItemTextW(dialog, cmb13, Widen(path).c_str());
    SetDlgItemTextW(dialog, edt1, Widen(path).c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Command(IDM_OPEN);
  EXPECT_TRUE(Robot().AllDone());
  ItemTree core = CoreReading(path);
  ASSERT_FALSE(core.TopLevel().empty());
  HWND tree = Frame().Tree().Window();
  EXPECT_EQ(ItemOf(tree, TreeView_GetRoot(tree)).text, Widen(core.At(core.TopLevel().front()).text, kShiftJis));
  EXPECT_TRUE(Frame().Dump().Window().IsOpen());
}

TEST_F(MainFrameTest, MenuEnablesSearchAfterAnAnalysisAndReportWithAReport) {
  HWND window = Frame().Window();
  EXPECT_TRUE(MenuGreyed(window, IDM_SEARCH));
  EXPECT_TRUE(MenuGreyed(window, IDM_REPORT));

  Frame().AnalyseFile(CorpusPath("bmp/no-such-file.bmp"));
  std::vector<std::wstring> errors = Robot().TakeErrors();
  ASSERT_EQ(errors.size(), 2u);  // no plug-in, then the dump's open error
  EXPECT_EQ(errors[0], Widen(HostMessageText(kMsgNoPlugin, HostLanguage::Japanese)));
  EXPECT_EQ(errors[1], Widen(HostMessageText(kMsgFileOpen, HostLanguage::Japanese)));
  EXPECT_FALSE(MenuGreyed(window, IDM_SEARCH));
  EXPECT_TRUE(MenuGreyed(window, IDM_REPORT));

  for (const std::string& file : CorpusFiles("zip")) {
    Frame().AnalyseFile(file);
    EXPECT_EQ(MenuGreyed(window, IDM_REPORT), Frame().ReportText().empty()) << file;
  }
  Robot().TakeErrors();
}

TEST_F(MainFrameTest, DamagedFileShowsItsMessageThenTheTreeUpToTheFault) {
  // A PNG cut inside its second chunk: the signature and IHDR end at 33.
  std::vector<std::uint8_t> bytes = FileBytes(CorpusPath("png/pngsuite-basn0g08.png"));
  ASSERT_GT(bytes.size(), 40u);
  bytes.resize(40);
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"strataview-cut.png";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);

  std::string narrow = Narrow(path, CP_ACP);
  Frame().AnalyseFile(narrow);
  std::vector<std::wstring> errors = Robot().TakeErrors();
  ASSERT_EQ(errors.size(), 1u) << "the plug-in's message box";
  HWND tree = Frame().Tree().Window();
  HTREEITEM selected = TreeView_GetSelection(tree);
  ASSERT_NE(selected, nullptr);
  TreeItem fault = ItemOf(tree, selected);
  EXPECT_EQ(fault.image, kImageFault);
  EXPECT_EQ(fault.text, errors[0]);
  std::optional<ByteRange> range = Frame().Tree().RangeOf(selected);
  ASSERT_TRUE(range.has_value());
  EXPECT_GE(range->offset, 33u);
  EXPECT_EQ(range->offset + range->size, 40u);
  EXPECT_NE(TreeView_GetChild(tree, TreeView_GetRoot(tree)), selected) << "IHDR comes before the fault";
  DeleteFileW(path.c_str());
}

TEST_F(MainFrameTest, SplitterKeepsTheTreeAtLeast100PixelsWide) {
  HWND tree = Frame().Tree().Window();
  int frame = GetSystemMetrics(SM_CXSIZEFRAME);
  RECT outer;
  GetWindowRect(tree, &outer);
  EXPECT_EQ(outer.right - outer.left, 200);

  SetWindowPos(tree, nullptr, 0, 0, 40, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(tree, &outer);
  EXPECT_EQ(outer.right - outer.left, 100);
  EXPECT_EQ(Frame().TreeWidth(), 100);

  SetWindowPos(tree, nullptr, 0, 0, 300, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  RECT dump;
  GetWindowRect(Frame().Dump().Frame(), &dump);
  MapWindowPoints(nullptr, Frame().Window(), reinterpret_cast<POINT*>(&dump), 2);
  EXPECT_EQ(dump.left, 300 - frame);
  RECT client;
  GetClientRect(Frame().Window(), &client);
  EXPECT_EQ(dump.right, client.right);
}

TEST_F(MainFrameTest, ExitCommandClosesTheWindow) {
  HWND window = Frame().Window();
  Command(IDM_EXIT);
  EXPECT_FALSE(IsWindow(window));
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

std::wstring DefaultValue(const wchar_t* key) {
  wchar_t value[MAX_PATH + 8] = {};
  DWORD size = sizeof value;
  RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

// A resource enumeration callback (stdcall on 32-bit Windows, so no lambda).
BOOL CALLBACK CollectIconGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(found)->push_back(LOWORD(name));
  return TRUE;
}

TEST(FileTypeTest, RegistersThePluginFileTypeOnceWithTheTenthIcon) {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L".hpi");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"HPI_PlugIn");
  std::wstring program = L"C:\\Program Files\\Strataview\\Strataview.exe";

  EXPECT_TRUE(RegisterPluginFileType(program));
  EXPECT_EQ(DefaultValue(L".hpi"), L"HPI_PlugIn");
  EXPECT_EQ(DefaultValue(L"HPI_PlugIn\\DefaultIcon"), program + L",9");
  EXPECT_FALSE(RegisterPluginFileType(program));

  // Index 9 of the executable's icon groups is the plug-in file icon.
  std::vector<int> groups;
  EnumResourceNamesW(GetModuleHandleW(nullptr), RT_GROUP_ICON, CollectIconGroup, reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_GE(groups.size(), 10u);
  EXPECT_EQ(groups[9], IDI_PLUGIN_FILE);
  EXPECT_EQ(groups[0], IDI_PROGRAM);
}

}  // namespace
}  // namespace strataview::ui::testing
