#include "services/debug_window.h"

#include "interp/arguments.h"
#include "interp/exec.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/window.h"
#include "services/logging.h"

static bool open_flag = false;

bool DebugWindowIsOpen() { return open_flag; }

void DebugWindowOpen() { open_flag = PlatformOpenDebugWindow(); }

void DebugWindowClose() {
  PlatformCloseDebugWindow();
  open_flag = false;
}

void DebugWindowToggle() {
  if (open_flag)
    DebugWindowClose();
  else
    DebugWindowOpen();
}

void DebugWindowShowLine() {
  if (!open_flag) return;
  RepaintDebugWindow();
  char line[kTraceLineSize + 1];
  TextFormat(line, sizeof line, "%s\n", TraceLine);
  ClockTime now;
  ClockLocalTime(&now);
  AppendToDatedFile(now, ".deb", line);
}

int32_t FuncDebugStart(char* args) {
  if (RejectArguments("FuncDebugStart", args) < 0) return kFailed;
  DebugWindowOpen();
  return kGoOn;
}

int32_t FuncDebugEnd(char* args) {
  if (RejectArguments("FuncDebugEnd", args) < 0) return kFailed;
  DebugWindowClose();
  return kGoOn;
}
