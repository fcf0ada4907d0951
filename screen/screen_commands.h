// The screen commands: DspUpdateWindow, ClrMainWin, DoClr, DoTitle and DoDiag.
#ifndef KELVADO_SCREEN_SCREEN_COMMANDS_H
#define KELVADO_SCREEN_SCREEN_COMMANDS_H

#include <cstdint>

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

#endif
