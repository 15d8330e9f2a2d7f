#include <windows.h>

#include "strataview/platform/library.h"
#include "win_text.h"

namespace strataview {

std::unique_ptr<Library> Library::Load(const std::string& path) {
  HMODULE handle = LoadLibraryW(Widen(path).c_str());
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<Library>(new Library(handle));
}

Library::~Library() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* Library::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace strataview
