// The off-screen image that painting composes the display list into.
#ifndef KELVADO_SCREEN_SCREEN_IMAGE_WIN32_H
#define KELVADO_SCREEN_SCREEN_IMAGE_WIN32_H

#include <windows.h>

#include <cstdint>

// Creates the ScreenImage for the main window at start-up: 0, or -1 after its own message.
int32_t CreateScreenImage(HWND window);
// WM_PAINT of the main window.
void PaintMainWindow(HWND window);

#endif
