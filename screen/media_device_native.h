// The stand-in media device of the native build, where nothing plays: it reports every request
// to a hook that tools and tests set, and answers as set here. Main thread only.
#ifndef KELVADO_SCREEN_MEDIA_DEVICE_NATIVE_H
#define KELVADO_SCREEN_MEDIA_DEVICE_NATIVE_H

#include "screen/media.h"

// Every request is told to this hook as text ("open AVIVideo PATH = 1", "play 1 repeat",
// "mode 1", "stop 1", "close 1", ...).
extern void (*MediaDeviceTraceHook)(const char* request);
extern bool MediaStandInNeverStops;  // the mode stays "playing" even after a stop
// Called when a play starts, so that a driver can deliver the end of a play that is not repeated.
extern void (*MediaStandInPlayHook)(uint32_t device, bool repeat);

#endif
