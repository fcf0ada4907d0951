#include "screen/screen_commands.h"

#include "interp/arguments.h"
#include "platform/window.h"
#include "screen/display_list.h"
#include "screen/media.h"

int32_t FuncDspUpdateWindow(char* args) {
  if (RejectArguments("FuncDspUpdateWindow", args) < 0) return kFailed;
  RefreshMainWindow();
  return kGoOn;
}

int32_t FuncClrMainWin(char*) {
  MainWinCleared = true;
  return kGoOn;
}

int32_t FuncDoClr(char* args) {
  if (RejectArguments("FuncDoClr", args) < 0) return kFailed;
  ReleaseDrawingBuffers();
  MediaStopAndClose();
  MainWinCleared = false;
  RefreshMainWindow();
  return kGoOn;
}

int32_t FuncDoTitle(char* args) { return RejectArguments("FuncDoTitle", args); }

int32_t FuncDoDiag(char*) { return kGoOn; }
