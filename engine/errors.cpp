#include "engine/errors.h"

#include "aspi/aspi.h"

// The device layer's failure without a code is the engine's.
static_assert(kAspiFailed == kEngineFailed, "kAspiFailed");

namespace {

struct CodeText {
  int32_t code;
  const char* text;
};

const CodeText kErrorTexts[] = {
    {kErrWin32s, "Win32sシステムには対応しておりません"},
    {kErrWindowsNt, "WindowsNTシステムには対応しておりません"},
    {kErrUnknownSystem, "不明なシステムには対応しておりません"},
    {kErrTargetTooSmall, "転送先ドライブ容量が足りません"},
    {kErrTargetFull, "転送先ドライブの空き容量がなくなりました"},
    {kErrSystemDriveNotFixed, "システムドライブが固定ディスクではありません"},
    {kErrNoCard, "Movanta ATAｶｰﾄﾞが挿入されていません"},
    {kErrNoVolumeInfo, "ボリューム情報を取得することができません"},
    {kErrTargetNotFixed, "転送先ドライブが固定ディスクではありません"},
    {kAspiCommandTimeout, "コマンドタイムアウト"},
    {kAspiReadCapacityFailed, "ReadCapacityに失敗しました"},
    {kAspiNoEntryPoints, "APIアドレスの取得に失敗しました。"},
    {kAspiNoAdapterInfo, "アダプタ情報取得に失敗しました。"},
    {kAspiInitFailed, "正常にWNASPI32.DLLを初期化できませんでした"},
    {kAspiNoLibrary, "WNASPI32.DLLがロードできません"},
    {kErrIplWrite, "ＩＰＬ領域に書き込みができません"},
    {kErrTooManyBadSectors, "バッドセクターが多すぎます"},
    {kErrFatArea, "ＦＡＴ領域にエラーがあります"},
    {kErrFatWrite, "ＦＡＴ領域の書き込みができません"},
    {kErrRootDirArea, "ルートディレクトリ領域にエラーがあります"},
    {kErrRootDirWrite, "ルートディレクトリ領域を初期化できません"},
};

}  // namespace

const char* ErrorText(uint32_t code) {
  for (const CodeText& entry : kErrorTexts)
    if (static_cast<uint32_t>(entry.code) == code) return entry.text;
  return "UNKNOWN ERROR CODE";
}
