// Message tables and the module's last-error cell.
#pragma once

#include <cstddef>
#include <span>

#include "hpi/hpi.h"

namespace hpi {

struct MessageRow {
  int code;
  const char* english;
  const char* japanese;
};

// A table of a plug-in's own codes (from 11 up) that falls back on the common
// codes 0-6 and the unknown-error text, or a table of its own such as SFStream's,
// which knows only its rows.
struct MessageTable {
  std::span<const MessageRow> rows;
  bool withCommonCodes;

  // The text of a code in a language; nullptr when the table has no text for it
  // and no fallback (the caller then copies nothing).
  const char* Text(int code, Language language) const;
};

// Common plug-in codes.
enum CommonCode : int {
  kNoError = 0,
  kWrongArgument = 1,
  kMemoryError = 2,
  kStreamError = 3,
  kFileOpenError = 4,
  kFileReadError = 5,
  kWrongFormat = 6,
};

extern const MessageTable kStreamMessages;

// The module's state shared by the exports: language and last error.
Language CurrentLanguage();
void SetCurrentLanguage(Language language);

// Records a code of one of the plug-in's tables (its first table by default).
void SetPluginError(int code);
void SetPluginError(int code, const MessageTable& table);
// Records a code of the plug-in's first table and returns false: `return Fail(code);`.
bool Fail(int code);
// Records a code of SFStream's table.
void SetStreamError(int code);

int LastErrorCode();
const MessageTable& LastErrorTable();
// Copies the last error's text with its terminator into a buffer of
// kMessageBufferSize bytes; leaves the buffer untouched when the table has no text.
void CopyLastErrorText(char* buffer);

}  // namespace hpi
