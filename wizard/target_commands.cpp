#include "wizard/target_commands.h"

#include "aspi/aspi.h"
#include "engine/file_copy.h"
#include "engine/partition_scan.h"
#include "interp/arguments.h"
#include "platform/text.h"
#include "platform/window.h"
#include "services/directories.h"

int32_t FuncTgetDrvFileExist(char* args) {
  int32_t* result;
  int32_t parsed = ReadArguments("FuncTgetDrvFileExist", args, NewVar(&result));
  if (parsed < 0) return parsed;
  // 1 nothing on the card, -1 it could not be read or probed: both go on without asking.
  if (TargetHasFiles(AdapterNumber) != 0) {
    *result = 1;
    return 0;
  }
  *result = 0;
  int32_t answer = ShowMessageBox(
      true,
      "転送先ドライブにファイルシステムが存在します。\nシステム転送を継続して宜しいでしょうか",
      "Kelvado Info", kMbOkCancel);
  *result = answer == kIdOk ? 1 : 0;
  return 0;
}

int32_t FuncXcopy(char* args) {
  char *source_arg, *target_arg;
  int32_t parsed = ReadArguments("FuncXcopy", args, Value(&source_arg), Value(&target_arg));
  if (parsed < 0) return parsed;
  char source[256], target[256];
  TextCopy(source, sizeof source, source_arg);
  TextCopy(target, sizeof target, target_arg);
  char question[sizeof source + sizeof target + 128];
  TextFormat(
      question, sizeof question,
      "これからファイルのコピーを開始します。\n転送元は、%s -> 転送先は、 %s です。\nよろしいでしょうか？",
      source, target);
  if (ShowMessageBox(true, question, "Kelvado Info", kMbYesNo) == kIdYes)
    CopyAllFiles(source, target, LogDir1);
  return 0;
}
