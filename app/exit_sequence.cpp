#include "app/exit_sequence.h"

#include "aspi/aspi.h"
#include "platform/os.h"
#include "platform/window.h"
#include "screen/display_list.h"
#include "screen/media.h"
#include "screen/paint.h"
#include "services/exit_commands.h"
#include "services/process_commands.h"

static bool exit_has_run = false;

void RunExitSequence() {
  if (exit_has_run) return;
  exit_has_run = true;
  EndWatchers();
  MediaStopAndClose();
  AspiUnload();
  ReleaseDrawingBuffers();
  ReleaseScreenImage();
  StopWindowTimer(kTickTimerId);
  if (ShutDownOnExit) {
    StopWindowTimer(kShutDownTimerId);
    ShutDownSystem();
  }
  PostQuit();
}

bool ExitSequenceHasRun() { return exit_has_run; }

void ResetExitSequence() { exit_has_run = false; }
