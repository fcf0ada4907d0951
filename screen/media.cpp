#include "screen/media.h"

#include "screen/media_device.h"
#include "system/threads.h"

uint32_t MciDevice = 0;

const uint32_t kStopPollMs = 50;

void MediaClose() {
  MediaDeviceClose(MciDevice);
  MciDevice = 0;
}

void MediaStopAndClose() {
  if (MciDevice == 0) return;
  if (MediaDeviceMode(MciDevice) != kMediaModeStopped) MediaDeviceStop(MciDevice);
  MediaClose();
}

// Before a video replaces what plays: stop it and wait until the device says it stopped, or its
// mode cannot be asked, or kMediaStopWaitMs have passed; then close it.
void MediaStopWaitAndClose() {
  if (MciDevice == 0) return;
  uint32_t mode = MediaDeviceMode(MciDevice);
  if (mode != kMediaModeStopped) {
    MediaDeviceStop(MciDevice);
    uint32_t start = TickCount();
    for (mode = MediaDeviceMode(MciDevice); mode != kMediaModeStopped && mode != 0;
         mode = MediaDeviceMode(MciDevice)) {
      if (TickCount() - start >= kMediaStopWaitMs) break;
      SleepMs(kStopPollMs);
    }
  }
  MediaClose();
}

