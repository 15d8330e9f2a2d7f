// The files the CLI is given: checked before anything opens them, so that a
// FIFO or a device never blocks the program and every refusal names its reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// Paths travel as UTF-8 text.
std::filesystem::path PathOf(const std::string& utf8);
std::string TextOf(const std::filesystem::path& path);

// Why the path cannot be analysed ("No such file or directory", "Is a directory",
// "not a regular file (FIFO)", "Permission denied"...), or nothing when it can;
// then size is the file's size.
std::optional<std::string> WhyNotReadable(const std::string& path, std::uint64_t& size);

// The arguments with folders walked when recursive; problems go to errors as
// "path: reason", and the walk goes on past a folder it cannot read.
std::vector<std::string> ExpandArguments(const std::vector<std::string>& args, bool recursive,
                                         std::vector<std::string>& errors);

// Standard input copied into a temporary file, removed when this ends.
class StdinCopy {
 public:
  StdinCopy() = default;
  StdinCopy(const StdinCopy&) = delete;
  StdinCopy& operator=(const StdinCopy&) = delete;
  ~StdinCopy();
  // The copy's path, or nothing with the reason in error.
  std::optional<std::string> Make(std::string& error);

 private:
  std::filesystem::path path_;
};

}  // namespace cli
