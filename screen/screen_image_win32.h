// The ScreenImage: the off-screen picture, the size of the screen, that painting composes the
// display list into before one copy to the main window.
#ifndef KELVADO_SCREEN_SCREEN_IMAGE_WIN32_H
#define KELVADO_SCREEN_SCREEN_IMAGE_WIN32_H

#include <windows.h>

#include <cstdint>

// Creates the ScreenImage for the main window at start-up: a 24-bit bottom-up DIB section of
// ScreenWidth x ScreenHeight with its 40-byte header in a movable global block of its own.
// 0, or -1 after the "ＤＩＢエラー" box, a quit message and WM_CLOSE.
int32_t CreateScreenImage(HWND window);
// WM_PAINT of the main window.
void PaintMainWindow(HWND window);

#endif
