// Message tables and the module's last-error cell.
#pragma once

#include <cstddef>
#include <cstdint>
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

class BinaryFile;

// Records a code of one of the plug-in's tables (its first table by default),
// with the place of the fault: where the analysed file's last read began.
void SetPluginError(int code);
void SetPluginError(int code, const MessageTable& table);
// Records a code of the plug-in's first table and returns false: `return Fail(code);`.
bool Fail(int code);
// The same with the fault at a given file offset: the field that holds a value
// found wrong later, or a position a walker's own reader keeps.
bool FailAt(int code, std::uint64_t offset);
bool FailAt(int code, const MessageTable& table, std::uint64_t offset);
// Records a code of SFStream's table.
void SetStreamError(int code);

int LastErrorCode();
// The file offset of the last recorded error.
std::uint64_t LastFaultOffset();
// The file whose reads place the faults; null outside an analysis.
void SetAnalysedFile(const BinaryFile* file);
const MessageTable& LastErrorTable();
// The last error as recorded, to be put back after stream calls that clear it.
struct RecordedError {
  int code;
  const MessageTable* table;
  std::uint64_t offset;
};
RecordedError LastError();
void RestoreError(const RecordedError& error);
// Copies the last error's text with its terminator into a buffer of
// kMessageBufferSize bytes; leaves the buffer untouched when the table has no text.
void CopyLastErrorText(char* buffer);

}  // namespace hpi
