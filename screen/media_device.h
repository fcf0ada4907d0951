// The media device layer (MCI) as playback uses it: one device at a time, opened by type and file,
// shown in the main window, played with an end notification to the main window.
//
// Results are the device layer's error codes, 0 for success. In kelvado.exe these are MCI
// command messages (media_device_win32.cpp); natively a stand-in plays nothing and says what it
// was asked (media_device_native.cpp).
#ifndef KELVADO_SCREEN_MEDIA_DEVICE_H
#define KELVADO_SCREEN_MEDIA_DEVICE_H

#include <cstddef>
#include <cstdint>

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

#endif
