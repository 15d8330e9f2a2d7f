#include "hpi/messages.h"

#include <cstring>

#include "hpi/binary_file.h"
#include "hpi/plugin.h"

namespace hpi {
namespace {

constexpr MessageRow kCommonRows[] = {
    {0, "[HPI_PLUGIN] No error!", "[HPI_PLUGIN] 正常終了しています"},
    {1, "[HPI_PLUGIN] Wrong argument!", "[HPI_PLUGIN] 不正な引数が渡されました"},
    {2, "[HPI_PLUGIN] memory allocation error!", "[HPI_PLUGIN] メモリアロケーションエラー"},
    {3, "[HPI_PLUGIN] Stream error!", "[HPI_PLUGIN] ストリームエラー"},
    {4, "[HPI_PLUGIN] File open error!", "[HPI_PLUGIN] ファイルオープンエラー"},
    {5, "[HPI_PLUGIN] File read error!", "[HPI_PLUGIN] ファイルリードエラー"},
    {6, "[HPI_PLUGIN] Wrong file format!", "[HPI_PLUGIN] 不正なファイルフォーマットです"},
};
constexpr MessageRow kUnknownRow = {-1, "[XPI_PLUGIN] Unkown error!", "[HPI_PLUGIN] 未知エラー"};

constexpr MessageRow kStreamRows[] = {
    {0, "[SFStream] No error!", "[SFStream] 正常終了しています"},
    {1, "[SFStream] Memory allocation error!", "[SFStream] メモリアロケーションエラー"},
    {2, "[SFStream] Stream io direction is mismatched!",
     "[SFStream] 初期化設定での入出種とストリームアクセスが不一致です"},
    {3, "[SFStream] Stream initialize error!", "[SFStream] 初期化エラー"},
    {4, "[SFStream] No date in stream!", "[SFStream] ストリーム内にデータはありません"},
    {5, "[SFStream] Wrong buffer pointer was used!", "[SFStream] 不正なバッファポインタが指定されました"},
    {10, "[SFStream] Unkown error!", "[SFStream] 未知エラー"},
};

const MessageRow* Find(std::span<const MessageRow> rows, int code) {
  for (const MessageRow& row : rows) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

// Module state: one load of the plug-in by the host.
struct ModuleState {
  Language language = kJapanese;
  int errorCode = kNoError;
  const MessageTable* errorTable = nullptr;
  std::uint64_t faultOffset = 0;
  const BinaryFile* analysedFile = nullptr;
};
ModuleState state;

}  // namespace

const MessageTable kStreamMessages{kStreamRows, false};

const char* MessageTable::Text(int code, Language language) const {
  const MessageRow* row = Find(rows, code);
  if (row == nullptr && withCommonCodes) {
    row = Find(kCommonRows, code);
    if (row == nullptr) row = &kUnknownRow;
  }
  if (row == nullptr) return nullptr;
  return language == kEnglish ? row->english : row->japanese;
}

Language CurrentLanguage() { return state.language; }
void SetCurrentLanguage(Language language) { state.language = language; }

void SetPluginError(int code) { SetPluginError(code, ThisPlugin().messages); }
void SetPluginError(int code, const MessageTable& table) {
  state.errorCode = code;
  state.errorTable = &table;
  state.faultOffset = state.analysedFile != nullptr ? state.analysedFile->LastReadAt() : 0;
}
bool Fail(int code) {
  SetPluginError(code);
  return false;
}
bool FailAt(int code, std::uint64_t offset) { return FailAt(code, ThisPlugin().messages, offset); }
bool FailAt(int code, const MessageTable& table, std::uint64_t offset) {
  SetPluginError(code, table);
  state.faultOffset = offset;
  return false;
}
void SetStreamError(int code) { SetPluginError(code, kStreamMessages); }

int LastErrorCode() { return state.errorCode; }
std::uint64_t LastFaultOffset() { return state.faultOffset; }
void SetAnalysedFile(const BinaryFile* file) { state.analysedFile = file; }
const MessageTable& LastErrorTable() { return state.errorTable != nullptr ? *state.errorTable : ThisPlugin().messages; }

RecordedError LastError() { return {state.errorCode, state.errorTable, state.faultOffset}; }
void RestoreError(const RecordedError& error) {
  state.errorCode = error.code;
  state.errorTable = error.table;
  state.faultOffset = error.offset;
}

void CopyLastErrorText(char* buffer) {
  const char* text = LastErrorTable().Text(state.errorCode, state.language);
  if (text == nullptr) return;
  std::size_t n = std::strlen(text);
  if (n >= kMessageBufferSize) n = kMessageBufferSize - 1;
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';
}

}  // namespace hpi
