#include "strataview/dump_window.h"

#include <cinttypes>
#include <cstdio>

#include "strataview/host_messages.h"

namespace strataview {
namespace {

constexpr DumpHeader kNormal = {
    "  ADDRESS : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f 0123456789abcdef ",
    "  ADDRESS :",
    "  ADDRESS : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f ",
};
constexpr DumpHeader kWide = {
    "       ADDRESS    : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f 0123456789abcdef ",
    "       ADDRESS    :",
    "       ADDRESS    : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f ",
};

constexpr std::uint64_t kScrollLimit = 0x8FFFFFFF;
constexpr std::uint64_t kWideSize = 1ull << 32;

// Shown as itself: printable ASCII and the half-width katakana of Shift-JIS.
bool Shown(std::uint8_t b) { return (b >= 0x20 && b <= 0x7E) || (b >= 0xA4 && b <= 0xDF); }

}  // namespace

const DumpHeader& HeaderFor(bool wide) { return wide ? kWide : kNormal; }

std::string AddressText(std::uint64_t line, bool wide) {
  char text[32];
  if (wide) {
    std::snprintf(text, sizeof text, "0x%016" PRIx64 "\r\n", line * kBytesPerLine);
  } else {
    std::snprintf(text, sizeof text, "0x%08" PRIx32 "\r\n", static_cast<std::uint32_t>(line * kBytesPerLine));
  }
  return text;
}

std::string HexText(const std::uint8_t* bytes, std::size_t n) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(3 * n + 2);
  for (std::size_t i = 0; i < n; ++i) {
    text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text + "\r\n";
}

std::string CharText(const std::uint8_t* bytes, std::size_t n) {
  std::string text;
  text.reserve(n + 2);
  for (std::size_t i = 0; i < n; ++i) text += Shown(bytes[i]) ? static_cast<char>(bytes[i]) : '.';
  return text + "\r\n";
}

std::size_t DumpWindow::LineChars(DumpColumn column) const {
  switch (column) {
    case kAddressColumn: return wide_ ? 20 : 12;
    case kHexColumn: return kHexLineChars;
    default: return kBytesPerLine + 2;
  }
}

int DumpWindow::Open(const std::string& path) {
  file_.reset();
  std::unique_ptr<ReadOnlyFile> file = ReadOnlyFile::Open(path);
  if (!file) return kMsgFileOpen;
  std::int64_t size = file->Size();
  if (size < 0) return kMsgFileRead;
  file_ = std::move(file);
  size_ = static_cast<std::uint64_t>(size);
  wide_ = size_ >= kWideSize;
  lineCount_ = (size_ + kBytesPerLine - 1) / kBytesPerLine;
  scrollShift_ = 0;
  while ((lineCount_ >> scrollShift_) > kScrollLimit) ++scrollShift_;
  top_ = 0;
  loaded_ = 0;
  for (std::string& text : texts_) text.clear();
  if (panes_ != nullptr) {
    for (int c = 0; c < 3; ++c) panes_->SetText(static_cast<DumpColumn>(c), texts_[c]);
    panes_->FileChanged();
  }
  return LoadAt(0);
}

bool DumpWindow::ReadLines(std::uint64_t first, std::size_t count, Lines& lines) {
  std::uint8_t buffer[kWindowLines * kBytesPerLine];
  if (!file_->Seek(first * kBytesPerLine)) return false;
  std::int64_t got = file_->Read(buffer, count * kBytesPerLine);
  std::uint64_t expected = std::min<std::uint64_t>(count * kBytesPerLine, size_ - first * kBytesPerLine);
  if (got < 0 || static_cast<std::uint64_t>(got) < expected) return false;
  std::size_t bytes = static_cast<std::size_t>(got);
  lines.count = (bytes + kBytesPerLine - 1) / kBytesPerLine;
  for (std::size_t i = 0; i < lines.count; ++i) {
    std::size_t n = std::min(kBytesPerLine, bytes - i * kBytesPerLine);
    lines.texts[kAddressColumn] += AddressText(first + i, wide_);
    lines.texts[kHexColumn] += HexText(buffer + i * kBytesPerLine, n);
    lines.texts[kCharColumn] += CharText(buffer + i * kBytesPerLine, n);
  }
  return true;
}

int DumpWindow::LoadAt(std::uint64_t line) {
  if (!file_) return kMsgFileNotOpened;
  if (line >= lineCount_) return kMsgNoError;
  Lines lines;
  if (!ReadLines(line, kWindowLines, lines)) return kMsgFileRead;
  top_ = line;
  loaded_ = lines.count;
  for (int c = 0; c < 3; ++c) {
    texts_[c] = std::move(lines.texts[c]);
    if (panes_ != nullptr) panes_->SetText(static_cast<DumpColumn>(c), texts_[c]);
  }
  return kMsgNoError;
}

void DumpWindow::EraseFront(std::size_t lines) {
  for (int c = 0; c < 3; ++c) {
    std::size_t to = std::min(texts_[c].size(), lines * LineChars(static_cast<DumpColumn>(c)));
    texts_[c].erase(0, to);
    if (panes_ != nullptr) panes_->Erase(static_cast<DumpColumn>(c), 0, to);
  }
  loaded_ -= lines;
}

void DumpWindow::EraseBack(std::size_t lines) {
  for (int c = 0; c < 3; ++c) {
    std::size_t from = (loaded_ - lines) * LineChars(static_cast<DumpColumn>(c));
    std::size_t to = texts_[c].size();
    texts_[c].erase(from);
    if (panes_ != nullptr) panes_->Erase(static_cast<DumpColumn>(c), from, to);
  }
  loaded_ -= lines;
}

int DumpWindow::ShiftBy(std::int64_t d) {
  if (d == 0) return kMsgNoError;
  if (!file_) return kMsgFileNotOpened;
  std::uint64_t magnitude = d < 0 ? static_cast<std::uint64_t>(-(d + 1)) + 1 : static_cast<std::uint64_t>(d);
  if (magnitude >= loaded_) {
    std::uint64_t target = d < 0 ? (magnitude > top_ ? 0 : top_ - magnitude) : top_ + magnitude;
    return LoadAt(target);
  }
  if (d > 0) {
    std::uint64_t start = top_ + loaded_;
    Lines fresh;
    if (start < lineCount_ && !ReadLines(start, static_cast<std::size_t>(magnitude), fresh)) return kMsgFileRead;
    EraseFront(static_cast<std::size_t>(magnitude));
    top_ += magnitude;
    for (int c = 0; c < 3; ++c) {
      std::size_t at = texts_[c].size();
      texts_[c] += fresh.texts[c];
      if (panes_ != nullptr) panes_->Insert(static_cast<DumpColumn>(c), at, fresh.texts[c]);
    }
    loaded_ += fresh.count;
    return kMsgNoError;
  }
  std::uint64_t newTop = magnitude > top_ ? 0 : top_ - magnitude;
  std::size_t count = static_cast<std::size_t>(top_ - newTop);
  if (count == 0) return kMsgNoError;
  Lines fresh;
  if (!ReadLines(newTop, count, fresh)) return kMsgFileRead;
  if (loaded_ + fresh.count > kWindowLines) EraseBack(loaded_ + fresh.count - kWindowLines);
  for (int c = 0; c < 3; ++c) {
    texts_[c].insert(0, fresh.texts[c]);
    if (panes_ != nullptr) panes_->Insert(static_cast<DumpColumn>(c), 0, fresh.texts[c]);
  }
  top_ = newTop;
  loaded_ += fresh.count;
  return kMsgNoError;
}

}  // namespace strataview
