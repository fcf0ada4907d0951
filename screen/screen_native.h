// The screen in the native build, where nothing is shown: the stand-in media device, which
// reports every request to a hook that tools and tests set and answers as set here, and the
// screen image's release, told to its own hook. Main thread only.
#ifndef KELVADO_SCREEN_SCREEN_NATIVE_H
#define KELVADO_SCREEN_SCREEN_NATIVE_H

#include "screen/media.h"
#include "screen/paint.h"

// Every request is told to this hook as text ("open AVIVideo PATH = 1", "play 1 repeat",
// "mode 1", "stop 1", "close 1", ...).
extern void (*MediaDeviceTraceHook)(const char* request);
extern bool MediaStandInNeverStops;  // the mode stays "playing" even after a stop
// Called when a play starts, so that a driver can deliver the end of a play that is not repeated.
extern void (*MediaStandInPlayHook)(uint32_t device, bool repeat);

// Called when the exit sequence releases the screen image; an unset hook does nothing.
extern void (*ReleaseScreenImageHandler)();

#endif
