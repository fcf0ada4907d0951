// The display list of the main window, as a click looks at it.
#ifndef KELVADO_SCREEN_DISPLAY_LIST_H
#define KELVADO_SCREEN_DISPLAY_LIST_H

#include <cstdint>

// The section of the first bitmap button, in list order, whose rectangle holds (x, y) strictly
// inside; nullptr when none does.
const char* DisplayListHit(int32_t x, int32_t y);

#endif
