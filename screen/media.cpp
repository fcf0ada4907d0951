#include "screen/media.h"

#include "interp/arguments.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "interp/zam_value.h"
#include "platform/text.h"
#include "platform/threads.h"
#include "screen/paint.h"
#include "services/directories.h"

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

void MediaEnded(uint32_t notification, uint32_t device) {
  if (notification != kMediaEndSuccessful) return;
  if (MciDevice != 0 && device != MciDevice) return;
  MediaStopAndClose();
  ChooseEventSection(kEndSection, true);
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

// The device layer's texts are at most this long.
const size_t kErrorTextSize = 128;

// `format` with the device layer's text for `error`, into ScriptError; -1.
static int32_t DeviceError(const char* format, uint32_t error) {
  char text[kErrorTextSize] = "";
  MediaErrorText(error, text, sizeof text);
  ScriptErrorSet(format, text);
  return kFailed;
}

static int32_t PlayVideo(const char* handler, char* args, bool repeat) {
  char* name;
  double *x1, *y1, *x2, *y2;  // required, but the video always fills the window
  int32_t result = ReadArguments(handler, args, Value(&name), Value(&x1), Value(&y1), Value(&x2),
                                 Value(&y2));
  if (result < 0) return result;
  char path[kFileNameSize];
  if (!BuildFileName(path, HomeDir, name)) {
    ScriptErrorSet("FuncPlayAvi の引数が長すぎます(%s)", name);
    return kFailed;
  }
  MediaStopWaitAndClose();
  uint32_t device = 0;
  uint32_t error = MediaDeviceOpen("AVIVideo", path, &device);
  if (error != 0) return DeviceError("MCI_OPEN avivideoエラー(%s)", error);
  MciDevice = device;
  error = MediaDeviceShowInWindow(device);
  if (error != 0) return DeviceError("MCI_DGV_WINDOW_HWND avivideoエラー(%s)", error);
  error = MediaDeviceFillWindow(device, ScreenWidth, ScreenHeight);
  if (error != 0) return DeviceError("MCI_DGV_RECT avivideoエラー(%s)", error);
  if (MediaDevicePlay(device, repeat) != 0) MediaClose();
  return kGoOn;
}

int32_t FuncPlayAvi(char* args) { return PlayVideo("FuncPlayAvi", args, false); }
int32_t FuncPlayAviRepeat(char* args) { return PlayVideo("FuncPlayAviRepeat", args, true); }

int32_t FuncPlayWave(char* args) {
  char whole[1024] = "";  // the argument text before the parser cuts it up (the line's buffer)
  if (args != nullptr) TextCopy(whole, sizeof whole, args);
  // The parser is called directly: this command's message has no blank after its name, which
  // ReadArguments cannot write.
  char* name;
  int32_t result = zam_sscanf(args, "%sn", &name);
  if (result == kFailed || result == kFormatError) return result;
  if (result != 1) {
    ScriptErrorSet("FuncPlayWaveの引数が間違っています(%s)", whole);
    return kFailed;
  }
  char path[kFileNameSize];
  if (!BuildFileName(path, HomeDir, name)) {
    ScriptErrorSet("FuncPlayWave の引数が長すぎます(%s)", name);
    return kFailed;
  }
  MediaStopAndClose();
  uint32_t device = 0;
  uint32_t error = MediaDeviceOpen("waveaudio", path, &device);
  if (error != 0) return DeviceError("waveaudioエラー(%s)", error);
  MciDevice = device;
  if (MediaDevicePlay(device, false) != 0) MediaClose();
  return kGoOn;
}
