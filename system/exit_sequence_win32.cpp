#include "system/exit_sequence_win32.h"

#include <windows.h>

#include "screen/display_list.h"
#include "screen/media.h"
#include "screen/screen_image_win32.h"
#include "system/tick.h"
#include "system/window_handle_win32.h"

// The watched program, the media device and the ASPI library are released here as those parts
// are built, then the drawing buffers, before the timer stops; the system is shut down after the
// timer, when the user chose so. The quit message comes last.
void RunExitSequence() {
  MediaStopAndClose();
  ReleaseDrawingBuffers();
  ReleaseScreenImage();
  KillTimer(MainWindow, kTickTimerId);
  PostQuitMessage(0);
}
