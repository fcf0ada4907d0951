#include "screen/screen_commands.h"

#include "interp/arguments.h"
#include "screen/display_list.h"
#include "screen/media.h"
#include "system/window_services.h"

int32_t FuncDspUpdateWindow(char* args) {
  if (RejectArguments("FuncDspUpdateWindow", args) < 0) return -1;
  RefreshMainWindow();
  return 0;
}

int32_t FuncClrMainWin(char*) {
  MainWinCleared = true;
  return 0;
}

int32_t FuncDoClr(char* args) {
  if (RejectArguments("FuncDoClr", args) < 0) return -1;
  ReleaseDrawingBuffers();
  MediaStopAndClose();
  MainWinCleared = false;
  RefreshMainWindow();
  return 0;
}

int32_t FuncDoTitle(char* args) { return RejectArguments("FuncDoTitle", args); }

int32_t FuncDoDiag(char*) { return 0; }
