#include "app/exit_sequence.h"
#include "screen/screen_image_win32.h"

void ReleaseWindowImage() { ReleaseScreenImage(); }
