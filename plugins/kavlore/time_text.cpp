#include "time_text.h"

#include "local_time.h"

namespace kavlore {
namespace {

struct Stamp {
  int year, month, day, hour, minute, second;
};

// How the fields are filled: the year to yearWidth with yearFill, the others to
// width with zeros; a width of 0 leaves a field as it is.
struct Filling {
  std::size_t yearWidth;
  char yearFill;
  std::size_t width;
};

constexpr Filling kZeroFilled{4, '0', 2};
constexpr Filling kBare{0, '0', 0};

Stamp Split(std::uint16_t date, std::uint16_t time) {
  return {(date >> 9) + 1980, (date >> 5) & 0xF, date & 0x1F, time >> 11, (time >> 5) & 0x3F, (time & 0x1F) * 2};
}

Stamp FromLocal(const std::tm& t) { return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec}; }

void AppendDate(ShortText& text, const Stamp& s, const Filling& f) {
  text.Number(s.year, f.yearWidth, f.yearFill).Append('/').Number(s.month, f.width).Append('/').Number(s.day, f.width);
}

void AppendTime(ShortText& text, const Stamp& s, const Filling& f) {
  text.Number(s.hour, f.width).Append(':').Number(s.minute, f.width).Append(':').Number(s.second, f.width);
}

ShortText DateTime(const Stamp& s, const Filling& f) {
  ShortText text;
  AppendDate(text, s, f);
  text.Append(' ');
  AppendTime(text, s, f);
  return text;
}

// Seconds since 1970 as local time; the fixed text when local time cannot hold them.
ShortText LocalTimeText(std::int64_t seconds, const Filling& f) {
  std::tm t{};
  if (!ToLocalTime(seconds, t)) return ShortText(kTimeOutOfRange);
  return DateTime(FromLocal(t), f);
}

}  // namespace

ShortText DosTimeText(std::uint16_t time) {
  ShortText text;
  AppendTime(text, Split(0, time), kZeroFilled);
  return text;
}

ShortText DosDateText(std::uint16_t date) {
  ShortText text;
  AppendDate(text, Split(date, 0), kZeroFilled);
  return text;
}

ShortText DosDateTimeText(std::uint32_t dateTime) {
  constexpr Filling kSpaceFilledYear{4, ' ', 2};
  return DateTime(Split(static_cast<std::uint16_t>(dateTime >> 16), static_cast<std::uint16_t>(dateTime)),
                  kSpaceFilledYear);
}

ShortText UnixTimeText(std::uint32_t time) { return LocalTimeText(static_cast<std::int32_t>(time), kBare); }

ShortText FileTimeText(std::uint64_t fileTime) {
  constexpr std::uint64_t kTicksPerSecond = 10000000;
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  return LocalTimeText(static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970, kZeroFilled);
}

}  // namespace kavlore
