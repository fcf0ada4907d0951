#include "interp/exec.h"

#include <cstdarg>
#include <cstring>

#include "interp/command_table.h"
#include "interp/handler_result.h"
#include "interp/loader.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "interp/var_table.h"
#include "platform/text.h"

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

static const char kStartSection[] = "START";

int32_t RunStartSection() {
  RewindResumeLine();
  int32_t line = 0;
  int32_t result = RunSection(kStartSection, &line);
  RewindResumeLine();
  if (result == kRunAgain) SuspendStart(kStartSection, line);
  return result;
}

int32_t RunNextSection() {
  RunTicket ticket;
  if (!TakeNextRun(&ticket)) return kGoOn;
  int32_t result = RunSection(ticket.section, &ticket.line);
  FinishRun(ticket, result);
  return result;
}

char TraceLine[kTraceLineSize];

void TraceLineStart(const char* text, int32_t line_number) {
  TextFormat(TraceLine, sizeof TraceLine, "%s(%d):", text, static_cast<int>(line_number));
}

void TraceLineAdd(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TextAppendFormatV(TraceLine, sizeof TraceLine, format, args);
  va_end(args);
}

void ResetInterpreter() {
  ClearSectionTable();
  ClearCommandTable();
  VarTableRelease();
  ScriptErrorClear();
  TraceLine[0] = '\0';
  ResetSectionChoice();
  LineExecutedHook = nullptr;
}
