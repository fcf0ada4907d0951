// Size of the screen in pixels, read once at start-up. Script coordinates are fractions of it.
#ifndef KELVADO_SCREEN_SCREEN_METRICS_H
#define KELVADO_SCREEN_SCREEN_METRICS_H

#include <cstdint>

extern int32_t ScreenWidth;
extern int32_t ScreenHeight;

#endif
