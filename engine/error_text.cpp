#include "engine/error_text.h"

#include "system/message_box.h"

namespace {

struct CodeText {
  uint32_t code;
  const char* text;
};

const CodeText kErrorTexts[] = {
    {101, "Win32sシステムには対応しておりません"},
    {102, "WindowsNTシステムには対応しておりません"},
    {103, "不明なシステムには対応しておりません"},
    {104, "転送先ドライブ容量が足りません"},
    {105, "転送先ドライブの空き容量がなくなりました"},
    {201, "システムドライブが固定ディスクではありません"},
    {202, "Movanta ATAｶｰﾄﾞが挿入されていません"},
    {203, "ボリューム情報を取得することができません"},
    {204, "転送先ドライブが固定ディスクではありません"},
    {301, "コマンドタイムアウト"},
    {302, "ReadCapacityに失敗しました"},
    {501, "APIアドレスの取得に失敗しました。"},
    {502, "アダプタ情報取得に失敗しました。"},
    {503, "正常にWNASPI32.DLLを初期化できませんでした"},
    {504, "WNASPI32.DLLがロードできません"},
    {601, "ＩＰＬ領域に書き込みができません"},
    {602, "バッドセクターが多すぎます"},
    {603, "ＦＡＴ領域にエラーがあります"},
    {604, "ＦＡＴ領域の書き込みができません"},
    {605, "ルートディレクトリ領域にエラーがあります"},
    {606, "ルートディレクトリ領域を初期化できません"},
};

}  // namespace

const char* ErrorText(uint32_t code) {
  for (const CodeText& entry : kErrorTexts)
    if (entry.code == code) return entry.text;
  return "UNKNOWN ERROR CODE";
}

int32_t ShowEngineError(int32_t code) {
  return ShowMessageBox(true, ErrorText(static_cast<uint32_t>(code)), "Kelvado Error", kMbOk);
}
