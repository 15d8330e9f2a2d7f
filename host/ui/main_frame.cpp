#include "main_frame.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "dialogs.h"
#include "menu_commands.h"
#include "messages.h"
#include "resource.h"
#include "strataview/coverage.h"
#include "strataview/host_messages.h"
#include "strataview/platform/files.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr wchar_t kWindowClass[] = L"MainFrame";
constexpr wchar_t kTitle[] = L"Strataview.exe -- Strataview";
constexpr wchar_t kOpenTitle[] = L"開く";
constexpr int kStartWidth = 500, kStartHeight = 400;
constexpr int kMinimumTreeWidth = 100;
constexpr UINT kShiftJis = 932;
constexpr DWORD kFileTitleChars = 64;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.style = CS_HREDRAW | CS_VREDRAW;
  cls.lpfnWndProc = proc;
  cls.hInstance = instance;
  cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  cls.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN);
  cls.lpszClassName = kWindowClass;
  return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The open dialog's default extension: the first of the list, without its dot;
// none for ".*".
std::wstring DefaultExtension(const std::string& extensions) {
  std::string first = extensions.c_str();
  if (!first.empty() && first[0] == '.') first.erase(0, 1);
  return first == "*" ? std::wstring() : Widen(first, kShiftJis);
}

}  // namespace

MainFrame::MainFrame(HINSTANCE instance)
    : instance_(instance),
      store_(OpenSettingsStore()),
      plugins_(ProgramFolder(), *store_),
      driver_(plugins_, hpi::kJapanese, PluginChoice::EnabledOnly) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  richEdit_ = LoadLibraryW(L"RICHED32.DLL");
  ready_ = richEdit_ != nullptr && tree_.LoadImages(instance);
}

MainFrame::~MainFrame() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  if (richEdit_ != nullptr) FreeLibrary(richEdit_);
}

bool MainFrame::Create() {
  if (!ready_ || !RegisterWindowClass(instance_, WindowProc)) return false;
  window_ = CreateWindowExW(WS_EX_ACCEPTFILES, kWindowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            kStartWidth, kStartHeight, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  if (!tree_.Create(window_, instance_, [this](int width) { TreeResized(width); }) ||
      !dump_.Create(window_, instance_, tree_.Window())) {
    return false;
  }
  Layout();
  shortcuts_.Load(window_);
  return true;
}

int MainFrame::Run() {
  HACCEL accelerators = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_MAIN));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (accelerators != nullptr && TranslateAcceleratorW(window_, accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void MainFrame::AnalyseFile(const std::string& path) {
  report_.clear();
  if (!tree_.Clear()) ShowHostError(window_, kMsgTreeViewError);
  StreamFaults faults;
  AnalysisOutcome outcome = driver_.Analyse(path, tree_.Items(), &faults);
  if (outcome.analysed || outcome.partial) AccountForEveryByte(path, HostLanguage::Japanese, tree_.Items());
  tree_.ShowItems();
  if (!outcome.analysed) {
    if (outcome.hasPluginMessage) {
      ShowPluginError(window_, outcome.pluginMessage);
    } else {
      ShowHostError(window_, outcome.hostMessage);
    }
  } else if (outcome.readerFault != kMsgNoError) {
    ShowHostError(window_, outcome.readerFault);
  }
  report_ = std::move(outcome.report);
  dump_.Open(path);
  // After a partial analysis the dump shows the bytes where the plug-in stopped.
  if (outcome.partial && faults.count > 0) tree_.Reveal(faults.last.item);
  UpdateMenu();
}

void MainFrame::OpenWithDialog() {
  const std::string& filter = plugins_.OpenFilter();
  if (filter.empty() || filter[0] == '\0') {
    ShowHostError(window_, kMsgNoPlugin);
    return;
  }
  std::wstring wideFilter = Widen(filter, kShiftJis);
  std::wstring extension = DefaultExtension(plugins_.DefaultExtensions());
  wchar_t file[MAX_PATH] = {};
  wchar_t fileTitle[kFileTitleChars] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = wideFilter.c_str();
  dialog.nFilterIndex = filterIndex_;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFileTitle = fileTitle;
  dialog.nMaxFileTitle = kFileTitleChars;
  dialog.lpstrTitle = kOpenTitle;
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&dialog)) return;
  filterIndex_ = dialog.nFilterIndex;
  AnalyseFile(Narrow(file));
}

void MainFrame::UpdateMenu() {
  HMENU menu = GetMenu(window_);
  EnableMenuItem(menu, IDM_SEARCH, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(menu, IDM_REPORT, MF_BYCOMMAND | (report_.empty() ? MF_GRAYED : MF_ENABLED));
  DrawMenuBar(window_);
}

// The tree stands at (-f, -f) so that only its right sizing edge shows: that
// edge is the splitter. The dump frame fills the rest.
void MainFrame::Layout() {
  RECT client;
  GetClientRect(window_, &client);
  int frame = GetSystemMetrics(SM_CXSIZEFRAME);
  if (treeWidth_ >= client.right) treeWidth_ = client.right - frame;
  layingOut_ = true;
  MoveWindow(tree_.Window(), -frame, -frame, treeWidth_, client.bottom + 2 * frame, TRUE);
  layingOut_ = false;
  PlaceDumpFrame();
}

void MainFrame::PlaceDumpFrame() {
  RECT client;
  GetClientRect(window_, &client);
  int frame = GetSystemMetrics(SM_CXSIZEFRAME);
  MoveWindow(dump_.Frame(), treeWidth_ - frame, 0, client.right - treeWidth_ + frame, client.bottom, TRUE);
}

void MainFrame::TreeResized(int width) {
  if (layingOut_ || dump_.Frame() == nullptr) return;
  treeWidth_ = width;
  if (width < kMinimumTreeWidth) {
    treeWidth_ = kMinimumTreeWidth;
    RECT outer;
    GetWindowRect(tree_.Window(), &outer);
    SetWindowPos(tree_.Window(), nullptr, 0, 0, treeWidth_, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  }
  PlaceDumpFrame();
}

void MainFrame::OnCommand(int command) {
  switch (command) {
    case IDM_OPEN: OpenWithDialog(); break;
    case IDM_EXIT: SendMessageW(window_, WM_CLOSE, 0, 0); break;
    case IDM_SEARCH: ShowSearchDialog(*this); break;
    case IDM_PLUGINS: ShowPluginSettings(instance_, window_, plugins_); break;
    case IDM_VERSION: ShowVersionDialog(instance_, window_); break;
    case IDM_SHORTCUTS: ShowShortcutSettings(*this); break;
    case IDM_REPORT: ShowReportDialog(*this); break;
    case IDM_HELP: OpenHelpContents(*this); break;
  }
}

// The first dropped file is analysed, whatever the length of its path.
void MainFrame::OnDropFiles(HDROP drop) {
  SetForegroundWindow(window_);
  UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  UINT got = length > 0 ? DragQueryFileW(drop, 0, path.data(), length + 1) : 0;
  DragFinish(drop);
  if (got == 0) return;
  path.resize(got);
  AnalyseFile(Narrow(path));
}

void MainFrame::OnTreeNotify(NMHDR& header) {
  if (header.code == TVN_GETDISPINFOW) {
    tree_.FillText(reinterpret_cast<NMTVDISPINFOW&>(header));
    return;
  }
  const auto& view = reinterpret_cast<const NMTREEVIEWW&>(header);
  if (header.code == TVN_SELCHANGEDW) {
    dump_.Highlight(tree_.RangeOf(view.itemNew.hItem));
  } else if (header.code == TVN_ITEMEXPANDINGW) {
    if (view.action & TVE_EXPAND) tree_.Populate(view.itemNew.hItem);
  } else if (header.code == TVN_ITEMEXPANDEDW) {
    tree_.ExpandValueChildren(view.itemNew.hItem);
  }
}

LRESULT MainFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED && dump_.Frame() != nullptr) Layout();
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_TREE) OnTreeNotify(*header);
      return 0;
    }
    case WM_CLOSE: DestroyWindow(window_); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK MainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<MainFrame*>(create->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self != nullptr ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace strataview::ui
