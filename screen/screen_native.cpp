#include "screen/screen_native.h"

#include <cstdio>

#include "platform/files.h"

void (*MediaDeviceTraceHook)(const char* request) = nullptr;
bool MediaStandInNeverStops = false;
void (*MediaStandInPlayHook)(uint32_t device, bool repeat) = nullptr;

// The device layer's code for a file it cannot open (MCIERR_FILE_NOT_FOUND).
const uint32_t kFileNotFound = 275;

static uint32_t last_device = 0;
static bool playing = false;

static void Trace(const char* format, uint32_t device, const char* text = "") {
  if (MediaDeviceTraceHook == nullptr) return;
  char request[400];
  std::snprintf(request, sizeof request, format, device, text);
  MediaDeviceTraceHook(request);
}

uint32_t MediaDeviceOpen(const char* type, const char* path, uint32_t* device) {
  ReadableFile* file = FileOpenRead(path);
  if (file == nullptr) {
    if (MediaDeviceTraceHook != nullptr) {
      char request[600];
      std::snprintf(request, sizeof request, "open %s %s = error %u", type, path, kFileNotFound);
      MediaDeviceTraceHook(request);
    }
    return kFileNotFound;
  }
  FileClose(file);
  *device = ++last_device;
  playing = false;
  if (MediaDeviceTraceHook != nullptr) {
    char request[600];
    std::snprintf(request, sizeof request, "open %s %s = %u", type, path, *device);
    MediaDeviceTraceHook(request);
  }
  return 0;
}

uint32_t MediaDeviceShowInWindow(uint32_t device) {
  Trace("window %u", device);
  return 0;
}

uint32_t MediaDeviceFillWindow(uint32_t device, int32_t width, int32_t height) {
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", static_cast<int>(width), static_cast<int>(height));
  Trace("put %u %s", device, size);
  return 0;
}

uint32_t MediaDevicePlay(uint32_t device, bool repeat) {
  Trace("play %u%s", device, repeat ? " repeat" : "");
  playing = true;
  if (MediaStandInPlayHook != nullptr) MediaStandInPlayHook(device, repeat);
  return 0;
}

uint32_t MediaDeviceMode(uint32_t device) {
  Trace("mode %u", device);
  return playing || MediaStandInNeverStops ? kMediaModePlaying : kMediaModeStopped;
}

void MediaDeviceStop(uint32_t device) {
  Trace("stop %u", device);
  playing = false;
}

void MediaDeviceClose(uint32_t device) {
  Trace("close %u", device);
  playing = false;
}

void MediaErrorText(uint32_t error, char* text, size_t size) {
  std::snprintf(text, size, "device error %u", error);
}

void (*ReleaseScreenImageHandler)() = nullptr;

void ReleaseScreenImage() {
  if (ReleaseScreenImageHandler != nullptr) ReleaseScreenImageHandler();
}
