#include "time_text.h"

#include <cstdio>

#include "local_time.h"

namespace kavlore {
namespace {

struct DosFields {
  int year, month, day, hour, minute, second;
};

DosFields Split(std::uint16_t date, std::uint16_t time) {
  return {(date >> 9) + 1980, (date >> 5) & 0xF, date & 0x1F, time >> 11, (time >> 5) & 0x3F, (time & 0x1F) * 2};
}

}  // namespace

std::string DosTimeText(std::uint16_t time) {
  DosFields f = Split(0, time);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", f.hour, f.minute, f.second);
  return text;
}

std::string DosDateText(std::uint16_t date) {
  DosFields f = Split(date, 0);
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", f.year, f.month, f.day);
  return text;
}

std::string DosDateTimeText(std::uint32_t dateTime) {
  DosFields f = Split(static_cast<std::uint16_t>(dateTime >> 16), static_cast<std::uint16_t>(dateTime));
  char text[48];
  std::snprintf(text, sizeof text, "%4d/%02d/%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
  return text;
}

std::string UnixTimeText(std::uint32_t time) {
  std::tm t{};
  if (!ToLocalTime(static_cast<std::int32_t>(time), t)) return kTimeOutOfRange;
  char text[64];
  std::snprintf(text, sizeof text, "%d/%d/%d %d:%d:%d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                t.tm_sec);
  return text;
}

std::string FileTimeText(std::uint64_t fileTime) {
  constexpr std::uint64_t kTicksPerSecond = 10000000;
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  std::tm t{};
  std::int64_t seconds = static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970;
  if (!ToLocalTime(seconds, t)) return kTimeOutOfRange;
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

}  // namespace kavlore
