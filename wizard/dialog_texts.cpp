#include "wizard/dialog_texts.h"

#include "aspi/aspi.h"
#include "platform/text.h"

const char kOpeningText[] =
    "Kelvado for Windowsﾌﾟﾛｸﾞﾗﾑへようこそ。このﾌﾟﾛｸﾞﾗﾑは、ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)データをMovanta "
    "ATAｶｰﾄﾞに接続されたﾄﾞﾗｲﾌﾞに転送します。\n\nこのﾌﾟﾛｸﾞﾗﾑを実行するまえに、すべての"
    "Windowsﾌﾟﾛｸﾞﾗﾑを必ず終了させてください。\n\n[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了した後、"
    "現在使用中のﾌﾟﾛｸﾞﾗﾑをすべて終了させてください"
    "\n\n\n"
    "このﾌﾟﾛｸﾞﾗﾑは、著作権に関する法律と国際条約によって守られています。"
    "権利者の許しを得ずにこのﾌﾟﾛｸﾞﾗﾑの全体または一部を複製したり頒布したりすることは、"
    "法律によって禁じられています。";

const char kTargetInfoFormat[] =
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞの、\n型名は、%s\nﾄﾞﾗｲﾌﾞ容量は %dMB です。\n\n"
    "このﾄﾞﾗｲﾌﾞで間違いなければ、[次へ]ﾎﾞﾀﾝをｸﾘｯｸして進んでください。\n\n"
    "間違いであれば、[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。";

const char kCheckFormat[] =
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞの、\n型名は、%s\nﾄﾞﾗｲﾌﾞ容量は %dMB です。\n\n"
    "転送先ﾄﾞﾗｲﾌﾞをチェックします。準備がよければ、[開  始]ﾎﾞﾀﾝをｸﾘｯｸしてください。\n"
    "作業を中断させる時は、[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。";

const char kPartitionText[] =
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞのﾊﾟｰﾃｨｼｮﾝを作成します。\n\n"
    "準備がよければ、[開  始]ﾎﾞﾀﾝをｸﾘｯｸしてください。\n"
    "作業を中断させる時は、[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。";

const char kCardInitText[] =
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞを認識させます。\n\n"
    "一度、Movanta ATAｶｰﾄﾞを抜き、約10秒後にｶｰﾄﾞを挿入してください。\n"
    "ｶｰﾄﾞ挿入後約10秒後に [次へ>>] ﾎﾞﾀﾝをｸﾘｯｸしてください。\n"
    "作業を中断させる時は、[ｷｬﾝｾﾙ] ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。";

const char kCardNotFoundText[] =
    "転送先ドライブを見つけることができません。\n再度ｶｰﾄﾞを抜いて、ｶｰﾄﾞを挿入してください。";

const char kCopyText[] =
    "システムドライブのコピーを始めます。\n次のダイアログの[コピー開始]ﾎﾞﾀﾝをｸﾘｯｸしてください。"
    "作業を中断したい場合は、[中断]ﾎﾞﾀﾝをｸﾘｯｸしてﾌﾟﾛｸﾞﾗﾑを終了させてください。";

const char kTrueEndText[] =
    "システム転送は正常に終了しました。\n\nコンピュータの電源を切り、システムドライブを交換して"
    "ください。\n\nシステムドライブを交換せずに、再起動をするとレジストリ問題が発生して、起動"
    "できない場合があります。\n必ずシステムドライブを交換もしくは、今回転送したドライブと一緒に"
    "現在のシステムドライブを起動しないでください。\n\n今すぐWindowsを終了させる場合は[今すぐ"
    "シャットダウン]ﾎﾞﾀﾝをｸﾘｯｸしてください。後で終了させる場合は[後でシャットダウン]ﾎﾞﾀﾝを"
    "ｸﾘｯｸしてください。";

const char kFalseEndText[] =
    "システム転送は正常に終了できませんでした。\n\nコンピュータを再起動して、再度プログラムを"
    "実行してください。\n";

const char kPartitionQuestion[] = "作業を中断しますか？";

const char kCopyQuestion[] =
    "作業を中断するとプログラムは終了します。\n中断した場合、もう一度最初から作業をする\n"
    "ことになります。　本当に中断しますか？";

const char kStatusPartitionInfo[] = "パーティション情報作成";

const char kInfoCaption[] = "Kelvado Info";
const char kErrorCaption[] = "Kelvado Error";

void FormatTargetText(char* out, size_t size, const char* format) {
  double megabytes = static_cast<double>(TargetCapacity) * 512.0 / 1024.0 / 1024.0;
  TextFormat(out, size, format, TargetDeviceName, static_cast<int>(megabytes));
}

void FormatLeftOutText(char* out, size_t size, uint32_t count, const char* log_path) {
  TextFormat(out, size,
             "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)のﾌｧｲﾙのうち %u 個は、使用中などの理由でｺﾋﾟｰできませんでした。\n"
             "ｺﾋﾟｰできなかったﾌｧｲﾙの一覧は、次のﾛｸﾞﾌｧｲﾙに記録されています。\n%s",
             static_cast<unsigned>(count), log_path[0] != '\0' ? log_path : "(ﾛｸﾞなし)");
}
