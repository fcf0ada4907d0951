#include "screen/screen_image_win32.h"
#include "system/exit_sequence.h"

void ReleaseWindowImage() { ReleaseScreenImage(); }
