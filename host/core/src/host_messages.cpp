#include "strataview/host_messages.h"

namespace strataview {
namespace {

struct Row {
  int number;
  const char* english;
  const char* japanese;
};

constexpr Row kRows[] = {
    {0, "Program completed with no errors.", "正常終了しています"},
    {1, "Initialization error!", "初期化エラー"},
    {2, "Malloc error!", "メモリアロケーションエラー"},
    {3, "Invalid argument!", "不正な引数が渡されました"},
    {4, "File open error!", "ファイルオープンエラー"},
    {5, "File is not opened!", "ファイル未オープンです"},
    {6, "File read error!", "ファイルリードエラー"},
    {7, "[Plug In] Syntax error in header infomation data!", "[プラグイン] ヘッダー情報データシンタックスエラー"},
    {8, "No plug-in available for loaded file!", "対応するプラグインがありません"},
    {11, "Tree-view error!", "ツリービューエラー"},
    {16, "Registration error!", "登録に失敗しました"},
    {21, "Clipboard open error!", "クリップボードオープンエラー"},
    {22, "Invalid search string!", "不正な検索文字列です"},
    {27, "Can't open help file!", "ヘルプファイルを開けません"},
};
constexpr Row kDefault = {-1, "Undefined error code!", "未知エラー"};

}  // namespace

const char* HostMessageText(int number, HostLanguage language) {
  const Row* row = &kDefault;
  for (const Row& r : kRows) {
    if (r.number == number) row = &r;
  }
  return language == HostLanguage::English ? row->english : row->japanese;
}

const char* SearchCompletedText(HostLanguage language) {
  return language == HostLanguage::English ? "Search completed to the end of file." : "最後まで検索終わりました。";
}

}  // namespace strataview
