// ui_bench [ENTRIES]: times filling the main window's tree (run under wine64 on
// a display, e.g. host/ui/scripts/run-on-display build/win64/bin/ui_bench.exe).
//  1. a hand-made stream of 200,000 items read straight into the tree;
//  2. the analysis of a generated ZIP archive of ENTRIES (20,000) empty stored
//     files through the main window, as the open dialog runs it.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "main_frame.h"
#include "strataview/platform/files.h"
#include "strataview/platform/settings_store.h"
#include "strataview/stream_reader.h"
#include "win_text.h"

namespace {

using namespace strataview;
using namespace strataview::ui;

constexpr int kFields = 50000;  // four items each

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutText(std::vector<std::uint8_t>& out, hpi::RecordClass cls, int level, const std::string& text) {
  Put16(out, hpi::Tag(cls, level, text.size()));
  out.insert(out.end(), text.begin(), text.end());
}
void PutNumber(std::vector<std::uint8_t>& out, hpi::RecordClass cls, std::uint32_t value) {
  Put16(out, hpi::Tag(cls, hpi::kAttributeLevel, 4));
  Put32(out, value);
}

// A root and kFields fields of name, offset, size and value: 200,001 items.
std::vector<std::uint8_t> BigStream() {
  std::vector<std::uint8_t> out;
  PutText(out, hpi::RecordClass::Name, hpi::kRootLevel, "big.bin");
  for (int i = 0; i < kFields; ++i) {
    PutText(out, hpi::RecordClass::Name, hpi::kFieldLevel, "field " + std::to_string(i));
    PutNumber(out, hpi::RecordClass::Offset, static_cast<std::uint32_t>(4 * i));
    PutNumber(out, hpi::RecordClass::Size, 4);
    PutNumber(out, hpi::RecordClass::Unsigned, static_cast<std::uint32_t>(i));
  }
  return out;
}

// An archive of empty stored files with their local headers and central directory.
void WriteZip(const std::wstring& path, int entries) {
  std::vector<std::uint8_t> local, central;
  for (int i = 0; i < entries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "dir/file%05d.txt", i);
    std::string n = name;
    std::uint32_t offset = static_cast<std::uint32_t>(local.size());
    Put32(local, 0x04034b50);
    for (unsigned v : {10u, 0u, 0u, 0u, 0x21u}) Put16(local, v);
    for (int k = 0; k < 3; ++k) Put32(local, 0);
    Put16(local, static_cast<unsigned>(n.size()));
    Put16(local, 0);
    local.insert(local.end(), n.begin(), n.end());
    Put32(central, 0x02014b50);
    for (unsigned v : {20u, 10u, 0u, 0u, 0u, 0x21u}) Put16(central, v);
    for (int k = 0; k < 3; ++k) Put32(central, 0);
    for (unsigned v : {static_cast<unsigned>(n.size()), 0u, 0u, 0u, 0u}) Put16(central, v);
    Put32(central, 0);
    Put32(central, offset);
    central.insert(central.end(), n.begin(), n.end());
  }
  std::vector<std::uint8_t> end;
  Put32(end, 0x06054b50);
  for (unsigned v : {0u, 0u, static_cast<unsigned>(entries), static_cast<unsigned>(entries)}) Put16(end, v);
  Put32(end, static_cast<std::uint32_t>(central.size()));
  Put32(end, static_cast<std::uint32_t>(local.size()));
  Put16(end, 0);
  std::ofstream out(Narrow(path), std::ios::binary);
  for (const auto* part : {&local, &central, &end}) {
    out.write(reinterpret_cast<const char*>(part->data()), static_cast<std::streamsize>(part->size()));
  }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  int entries = argc > 1 ? std::atoi(argv[1]) : 20000;
  OpenSettingsStore()->SaveEnabled(ListFiles(ProgramFolder(), ".hpi"));
  MainFrame frame(GetModuleHandleW(nullptr));
  if (!frame.Create()) return 1;
  ShowWindow(frame.Window(), SW_SHOW);
  HWND tree = frame.Tree().Window();

  std::vector<std::uint8_t> stream = BigStream();
  LARGE_INTEGER start, filled, expanded, cleared;
  QueryPerformanceCounter(&start);
  int fault = BuildItemTree(static_cast<std::uint32_t>(stream.size()), stream.data(), frame.Tree().Items());
  frame.Tree().ShowItems();
  UpdateWindow(tree);
  QueryPerformanceCounter(&filled);
  TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
  UpdateWindow(tree);
  QueryPerformanceCounter(&expanded);
  unsigned count = TreeView_GetCount(tree);
  frame.Tree().Clear();
  QueryPerformanceCounter(&cleared);
  std::printf(
      "stream of 200,001 items: read and shown in %.3f s (reader result %d); root expanded to %u items "
      "in %.3f s; cleared in %.3f s\n",
      Seconds(start, filled), fault, count, Seconds(filled, expanded), Seconds(expanded, cleared));

  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring zip = std::wstring(folder) + L"strataview-bench.zip";
  WriteZip(zip, entries);
  QueryPerformanceCounter(&start);
  frame.AnalyseFile(Narrow(zip));
  UpdateWindow(tree);
  QueryPerformanceCounter(&filled);
  TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
  UpdateWindow(tree);
  QueryPerformanceCounter(&expanded);
  std::printf("zip of %d entries: analysed and shown in %.3f s; root expanded to %u items in %.3f s\n", entries,
              Seconds(start, filled), TreeView_GetCount(tree), Seconds(filled, expanded));
  DeleteFileW(zip.c_str());
  return 0;
}
