#include <dlfcn.h>

#include "strataview/platform/library.h"

namespace strataview {

std::unique_ptr<Library> Library::Load(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<Library>(new Library(handle));
}

Library::~Library() { dlclose(handle_); }

void* Library::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace strataview
