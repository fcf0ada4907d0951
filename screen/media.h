// The one open video or sound device, and the ways it is stopped and closed.
#ifndef KELVADO_SCREEN_MEDIA_H
#define KELVADO_SCREEN_MEDIA_H

#include <cstdint>

// The open video or sound device; 0 when none is open.
extern uint32_t MciDevice;

// How long a video command waits, after stopping what plays, for the device to report that it
// no longer plays, before it closes the device anyway.
const uint32_t kMediaStopWaitMs = 1000;

// Stops and closes the open device, if any, without waiting (DoClr, PlayWave, the end of a
// playback, the exit sequence).
void MediaStopAndClose();
// The same, but after the stop waits up to kMediaStopWaitMs for the device to stop (PlayAvi and
// PlayAviRepeat).
void MediaStopWaitAndClose();
// Closes the open device without stopping it first (a play request that failed).
void MediaClose();

#endif
