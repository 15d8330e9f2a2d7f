#include <dlfcn.h>

#include "strataview/platform/library.h"

namespace strataview {

std::unique_ptr<Library> Library::Load(const std::string& path) {
  // The image stays mapped after the last close: the next operation's load of the
  // same plug-in then costs a reference count instead of a fresh mapping.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<Library>(new Library(handle));
}

Library::~Library() { dlclose(handle_); }

void* Library::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace strataview
