#include "app/main_window.h"

#include "app/program.h"
#include "interp/arguments.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "platform/window.h"
#include "screen/display_list.h"
#include "screen/media.h"
#include "services/cursor_wait.h"
#include "services/debug_window.h"

int32_t StartInterpreter(ScriptSource source) {
  FillCommandTable();
  LineExecutedHook = DebugWindowShowLine;
  if (LoadScriptFrom(source) < 0) {
    ShowMessageBox(false, ScriptError, kScriptErrorCaption, kScriptErrorStyle);
    return -1;
  }
  return 0;
}

// Every script error ends the program.
static void ShowScriptError() {
  ShowMessageBox(true, ScriptError, kScriptErrorCaption, kScriptErrorStyle);
  PostClose();
}

static const char kStartSection[] = "START";

void MainWindowCreate() {
  RewindResumeLine();
  int32_t line = 0;
  int32_t result = RunSection(kStartSection, &line);
  RewindResumeLine();
  if (result < 0)
    ShowScriptError();
  else if (result == kRunAgain)
    SuspendStart(kStartSection, line);
}

void MainWindowNewOne() {
  RunTicket ticket;
  if (!TakeNextRun(&ticket)) return;
  int32_t result = RunSection(ticket.section, &ticket.line);
  FinishRun(ticket, result);
  if (result < 0) ShowScriptError();
}

void MainWindowTick() {
  if (WaitTicks > 0) --WaitTicks;
  ResumeAtTick();
}

// A bitmap button, then the touch section, then the coin section: the last one chosen starts at
// the next tick.
void MainWindowClick(int32_t x, int32_t y) {
  const char* button = DisplayListHit(x, y);
  if (button != nullptr) ChooseButtonSection(button);
  ChooseEventSection(kTouchSection, false);
  ChooseEventSection(kCoinSection, false);
}

// A playback that ended by itself closes its device and runs the end section. The end of a device
// that a newer play command has already replaced is stale: the end section waits for the end of
// what plays now.
void MainWindowMediaEnd(uint32_t notification, uint32_t device) {
  if (notification != kMediaEndSuccessful) return;
  if (MciDevice != 0 && device != MciDevice) return;
  MediaStopAndClose();
  ChooseEventSection(kEndSection, true);
}

void MainWindowKey(uint32_t key) {
  if (key == kKeyEscape || key == kKeyF12)
    PostClose();
  else if (key == kKeySpace)
    DebugWindowToggle();
}

void MainWindowSetCursor() { SetMouseCursor(MouseCursorId); }
