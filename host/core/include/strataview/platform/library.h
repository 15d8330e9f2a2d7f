// A plug-in library loaded for one operation and freed when the object goes.
#pragma once

#include <memory>
#include <string>

namespace strataview {

class Library {
 public:
  // Loads the library at a UTF-8 path; null when it cannot be loaded.
  static std::unique_ptr<Library> Load(const std::string& path);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The export of that name, or null.
  void* Symbol(const char* name) const;
  template <typename Fn>
  Fn Get(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

 private:
  explicit Library(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace strataview
