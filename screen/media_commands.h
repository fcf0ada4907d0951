// The playback commands: PlayAvi and PlayAviRepeat show a video over the whole main window, once
// or in a loop, PlayWave plays a sound. Each first stops and closes what plays (screen/media.h).
// They return once playback has started; when a play that is not repeated ends, the main window
// closes the device and runs EndSection.
#ifndef KELVADO_SCREEN_MEDIA_COMMANDS_H
#define KELVADO_SCREEN_MEDIA_COMMANDS_H

#include <cstdint>

int32_t FuncPlayAvi(char* args);
int32_t FuncPlayAviRepeat(char* args);
int32_t FuncPlayWave(char* args);

#endif
