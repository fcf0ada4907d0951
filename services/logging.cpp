#include "services/logging.h"

#include <cstring>

#include "interp/arguments.h"
#include "platform/files.h"
#include "platform/text.h"
#include "services/directories.h"

// The key texts are 17 bytes wide either way, so the columns of the log line up.
void FormatLogLine(char* out, size_t size, const ClockTime& now, int32_t count,
                   int32_t background_key, int32_t frame_key) {
  char background[32], frame[32];
  if (background_key == -1)
    TextCopy(background, sizeof background, "背景選択なし     ");
  else
    TextFormat(background, sizeof background, "BG_KEY_NO -> %04d",
               static_cast<int>(background_key));
  if (frame_key == -1)
    TextCopy(frame, sizeof frame, "フレーム選択なし ");
  else
    TextFormat(frame, sizeof frame, "FR_KEY_NO -> %04d", static_cast<int>(frame_key));
  TextFormat(out, size, "%04d年%02d月%02d日 %02d時%02d分%02d秒 分割数 -> %2d %s %s\n", now.year,
             now.month, now.day, now.hour, now.minute, now.second, static_cast<int>(count),
             background, frame);
}

int32_t FuncLogging(char* args) {
  int32_t *count, *background_key, *frame_key;
  int32_t result =
      ReadArguments("FuncLogging", args, Value(&count), Value(&background_key), Value(&frame_key));
  if (result < 0) return result;
  ClockTime now;
  ClockLocalTime(&now);
  char line[256];
  FormatLogLine(line, sizeof line, now, *count, *background_key, *frame_key);
  AppendToDatedFile(now, ".log", line);
  return kGoOn;
}

// Room for the whole name after the longest LogDir1.
const size_t kDatedPathSize = sizeof LogDir1 + kDatedNameLength;

void AppendToDatedFile(const ClockTime& date, const char* extension, const char* line) {
  FileCreateDirectory(LogDir1);
  char path[kDatedPathSize];
  if (DatedFileName(path, sizeof path, LogDir1, date, extension))
    FileAppend(path, line, static_cast<uint32_t>(std::strlen(line)));
}

int32_t FuncIntrrimMsg(char*) { return 0; }
int32_t FuncLastMsg(char*) { return 0; }
int32_t FuncLastMsgInterval(char*) { return 0; }
