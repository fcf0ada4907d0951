#include "interp/exec.h"

#include <cstring>

#include "interp/clean_line.h"
#include "interp/command_table.h"
#include "interp/handler_result.h"
#include "interp/script_error.h"
#include "interp/text.h"
#include "interp/trace_line.h"

void (*LineExecutedHook)() = nullptr;

int32_t ExecLine(const ScriptLine& line) {
  char work[1024];
  TextCopy(work, sizeof work, line.text);
  CleanLine(work);
  char* args = std::strchr(work, ',');
  if (args != nullptr) *args++ = '\0';
  CommandHandler handler = CommandTableFind(work);
  if (handler == nullptr) return kFailed;
  return handler(args);
}

int32_t RunSection(const char* name, int32_t* start) {
  const Section* section = FindSection(name);
  if (section == nullptr) {
    ScriptErrorAppend("\n\n[%s に ｾｸｼｮﾝ名 %s が存在しません", ScriptName, name);
    return kFailed;
  }
  int32_t count = section->line_count;
  if (*start < 0) *start = 0;
  for (; *start < count; ++*start) {
    const ScriptLine& line = section->lines[*start];
    TraceLineStart(line.text, line.line_number);
    int32_t result = ExecLine(line);
    if (LineExecutedHook != nullptr) LineExecutedHook();
    if (result < 0) {
      ScriptErrorAppend("\n\n[%s の ｾｸｼｮﾝ名 %s, %d 行目 ｴﾝﾄﾘｰ名 %s でｴﾗｰが発生しました]",
                        ScriptName, section->name, static_cast<int>(line.line_number),
                        line.text);
      return kFailed;
    }
    if (result > 0) return result;
    if (*start == count - 1) return kGoOn;
  }
  return kGoOn;
}
