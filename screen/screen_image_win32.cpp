#include "screen/screen_image_win32.h"

// Not built yet: there is no image, and painting only validates the window, whose class brush
// keeps it black.
int32_t CreateScreenImage(HWND) { return 0; }

void PaintMainWindow(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
}
