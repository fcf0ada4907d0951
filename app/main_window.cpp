#include "app/main_window.h"

#include "app/program.h"
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

void MainWindowCreate() {
  if (RunStartSection() < 0) ShowScriptError();
}

void MainWindowNewOne() {
  if (RunNextSection() < 0) ShowScriptError();
}

void MainWindowTick() {
  WaitCountDown();
  ResumeAtTick();
}

// A bitmap button, then the touch section, then the coin section: the last one chosen starts at
// the next tick.
void MainWindowClick(int32_t x, int32_t y) {
  ChooseButtonAt(x, y);
  ChooseEventSection(kTouchSection, false);
  ChooseEventSection(kCoinSection, false);
}

void MainWindowMediaEnd(uint32_t notification, uint32_t device) {
  MediaEnded(notification, device);
}

void MainWindowKey(uint32_t key) {
  if (key == kKeyEscape || key == kKeyF12)
    PostClose();
  else if (key == kKeySpace)
    DebugWindowToggle();
}

void MainWindowSetCursor() { ShowMouseCursor(); }
