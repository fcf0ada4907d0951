// The screen's commands: the screen commands, the text commands and the bitmap commands, and
// the screen's table of all its commands (these, the playback commands and the layout settings).
#ifndef KELVADO_SCREEN_SCREEN_COMMANDS_H
#define KELVADO_SCREEN_SCREEN_COMMANDS_H

#include <cstdint>

#include "interp/command_table.h"

// The screen's table of its commands, in the order it contributes them.
extern const CommandEntry kScreenCommands[];

// The screen commands: DspUpdateWindow, ClrMainWin, DoClr, DoTitle and DoDiag.
// Refreshes the main window.
int32_t FuncDspUpdateWindow(char* args);
// Keeps the main window black from the next paint on, until DoClr.
int32_t FuncClrMainWin(char* args);
// Empties both lists, stops the playing video or sound, drops the WorkBuffer, clears
// MainWinCleared and refreshes the main window.
int32_t FuncDoClr(char* args);
// Only checks that no argument is given.
int32_t FuncDoTitle(char* args);
// Does nothing.
int32_t FuncDoDiag(char* args);

// The twelve text commands. Each reads its text, box (screen fractions), colour, face and weight,
// and for the ...WithBack forms an outline colour and width, fills one DisplayItem and appends it:
// the Str... commands to the DisplayList, which the next paint draws, the TitleStr... commands to
// the TitleList, which nothing draws. L, C and R align the text left, centred or right in its box.
int32_t FuncStrL(char* args);
int32_t FuncStrC(char* args);
int32_t FuncStrR(char* args);
int32_t FuncStrLWithBack(char* args);
int32_t FuncStrCWithBack(char* args);
int32_t FuncStrRWithBack(char* args);
int32_t FuncTitleStrL(char* args);
int32_t FuncTitleStrC(char* args);
int32_t FuncTitleStrR(char* args);
int32_t FuncTitleStrLWithBack(char* args);
int32_t FuncTitleStrCWithBack(char* args);
int32_t FuncTitleStrRWithBack(char* args);

// The bitmap commands: each loads a bitmap file into one DisplayItem and appends it to the
// DisplayList, which the next paint draws. Bmp, BmpC and BmpBtn put HomeDir in front of the file
// name, the Abs... commands take it as given. Bmp, AbsBmp and AbsBgBmp place the picture in a box
// of screen fractions, BmpC and AbsBmpC in the 640 x 480 pixels at the top left of the screen;
// AbsBgBmp's picture is never painted; BmpBtn's picture is a button that runs its section when
// clicked. None of them refreshes the window: DoSelBtn does. AbsBmpToWkBuff loads a bitmap into
// the WorkBuffer, which nothing draws.
int32_t FuncBmp(char* args);
int32_t FuncBmpC(char* args);
int32_t FuncAbsBmp(char* args);
int32_t FuncAbsBmpC(char* args);
int32_t FuncAbsBgBmp(char* args);
int32_t FuncBmpBtn(char* args);
int32_t FuncDoSelBtn(char* args);
int32_t FuncAbsBmpToWkBuff(char* args);

#endif
