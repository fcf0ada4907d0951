// Media: the playback commands, the one open video or sound device, and the media device layer
// (MCI) under them.
#ifndef KELVADO_SCREEN_MEDIA_H
#define KELVADO_SCREEN_MEDIA_H

#include <cstddef>
#include <cstdint>

// --- The media device layer as playback uses it: one device at a time, opened by type and
// file, shown in the main window, played with an end notification to the main window ---
//
// Results are the device layer's error codes, 0 for success. In kelvado.exe these are MCI
// command messages (media_device_win32.cpp); natively a stand-in plays nothing and says what it
// was asked (screen_native.cpp).

// Device modes, as the mode query answers them.
const uint32_t kMediaModeStopped = 525;
const uint32_t kMediaModePlaying = 526;

// Opens `path` on a device of `type` ("AVIVideo", "waveaudio"), notifications going to the main
// window; the new device in *device.
uint32_t MediaDeviceOpen(const char* type, const char* path, uint32_t* device);
// Shows the video in the main window.
uint32_t MediaDeviceShowInWindow(uint32_t device);
// Stretches the video over (0, 0) .. (width, height) of the window.
uint32_t MediaDeviceFillWindow(uint32_t device, int32_t width, int32_t height);
// Starts playing from the start, over and over when `repeat` is set; the main window is told
// when a play that is not repeated ends.
uint32_t MediaDevicePlay(uint32_t device, bool repeat);
// The device's mode; 0 when the query fails.
uint32_t MediaDeviceMode(uint32_t device);
void MediaDeviceStop(uint32_t device);
void MediaDeviceClose(uint32_t device);
// The device layer's text for an error code, cut to `size` bytes.
void MediaErrorText(uint32_t error, char* text, size_t size);

// --- The one open video or sound device, and the ways it is stopped and closed ---

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

// The notification of a playback that ended by itself (MCI_NOTIFY_SUCCESSFUL).
const uint32_t kMediaEndSuccessful = 1;
// The main window's media end notification: a playback that ended by itself closes its device and
// runs the end section. The end of a device that a newer play command has already replaced is
// stale: the end section waits for the end of what plays now. Other notifications are ignored.
void MediaEnded(uint32_t notification, uint32_t device);

// --- The playback commands: PlayAvi and PlayAviRepeat show a video over the whole main window,
// once or in a loop, PlayWave plays a sound. Each first stops and closes what plays ---
//
// They return once playback has started; when a play that is not repeated ends, the main window
// closes the device and runs EndSection.
int32_t FuncPlayAvi(char* args);
int32_t FuncPlayAviRepeat(char* args);
int32_t FuncPlayWave(char* args);

#endif
