#include "dump.h"

#include <algorithm>
#include <cinttypes>
#include <vector>

#include "strataview/dump_window.h"
#include "strataview/platform/files.h"

namespace cli {
namespace {

using namespace strataview;

constexpr std::size_t kChunk = 1 << 16;  // a multiple of the line

void AppendLine(std::string& out, std::uint64_t address, bool wide, const std::uint8_t* bytes, std::size_t n) {
  char text[24];
  if (wide) {
    std::snprintf(text, sizeof text, "0x%016" PRIx64 ":", address);
  } else {
    std::snprintf(text, sizeof text, "0x%08" PRIx32 ":", static_cast<std::uint32_t>(address));
  }
  out += text;
  std::string hex = HexText(bytes, n);
  out.append(hex, 0, hex.size() - 2);
  out.append(3 * (kBytesPerLine - n) + 1, ' ');
  std::string chars = CharText(bytes, n);
  out += Cp932ToUtf8(std::string_view(chars).substr(0, chars.size() - 2));
  out += '\n';
}

}  // namespace

bool WriteDump(const std::string& path, const DumpRange& range, std::FILE* file, std::string& error,
               std::string& warning) {
  std::unique_ptr<ReadOnlyFile> in = ReadOnlyFile::Open(path);
  std::int64_t size = in ? in->Size() : -1;
  if (size < 0) {
    error = "cannot be opened for the dump";
    return false;
  }
  std::uint64_t fileSize = static_cast<std::uint64_t>(size);
  std::uint64_t end = range.length ? range.offset + *range.length : fileSize;
  if (range.offset > fileSize || end > fileSize) {
    warning = "the dump range runs past the end of the file (" + std::to_string(fileSize) + " bytes)";
    end = std::min(end, fileSize);
  }
  bool wide = fileSize >= (1ull << 32);
  std::string out = HeaderFor(wide).full;
  out += '\n';
  std::vector<std::uint8_t> buffer(kChunk);
  for (std::uint64_t at = range.offset; at < end;) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, end - at));
    std::int64_t got = in->Seek(at) ? in->Read(buffer.data(), want) : -1;
    if (got <= 0) {
      std::fwrite(out.data(), 1, out.size(), file);
      error = "read error at offset " + std::to_string(at);
      return false;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(got); i += kBytesPerLine) {
      AppendLine(out, at + i, wide, buffer.data() + i, std::min<std::size_t>(kBytesPerLine, got - i));
    }
    at += static_cast<std::uint64_t>(got);
    std::fwrite(out.data(), 1, out.size(), file);
    out.clear();
    if (std::ferror(file)) return true;  // the caller reports the write error
  }
  std::fwrite(out.data(), 1, out.size(), file);
  return true;
}

}  // namespace cli
