#include "system/exit_sequence.h"

#include "engine/aspi/aspi.h"
#include "screen/display_list.h"
#include "screen/media.h"
#include "system/child_process.h"
#include "system/shutdown.h"
#include "system/tick.h"
#include "system/window_services.h"

static bool exit_has_run = false;

void RunExitSequence() {
  if (exit_has_run) return;
  exit_has_run = true;
  EndWatchers();
  MediaStopAndClose();
  AspiUnload();
  ReleaseDrawingBuffers();
  ReleaseWindowImage();
  StopWindowTimer(kTickTimerId);
  if (ShutDownOnExit) {
    StopWindowTimer(kShutDownTimerId);
    ShutDownSystem();
  }
  PostQuit();
}

bool ExitSequenceHasRun() { return exit_has_run; }

void ResetExitSequence() { exit_has_run = false; }
