// The bitmap commands: each loads a bitmap file into one DisplayItem and appends it to the
// DisplayList, which the next paint draws. Bmp, BmpC and BmpBtn put HomeDir in front of the file
// name, the Abs... commands take it as given. Bmp, AbsBmp and AbsBgBmp place the picture in a box
// of screen fractions, BmpC and AbsBmpC in the 640 x 480 pixels at the top left of the screen;
// AbsBgBmp's picture is never painted; BmpBtn's picture is a button that runs its section when
// clicked. None of them refreshes the window: DoSelBtn does. AbsBmpToWkBuff loads a bitmap into
// the WorkBuffer, which nothing draws.
#ifndef KELVADO_SCREEN_BITMAP_COMMANDS_H
#define KELVADO_SCREEN_BITMAP_COMMANDS_H

#include <cstdint>

int32_t FuncBmp(char* args);
int32_t FuncBmpC(char* args);
int32_t FuncAbsBmp(char* args);
int32_t FuncAbsBmpC(char* args);
int32_t FuncAbsBgBmp(char* args);
int32_t FuncBmpBtn(char* args);
int32_t FuncDoSelBtn(char* args);
int32_t FuncAbsBmpToWkBuff(char* args);

#endif
