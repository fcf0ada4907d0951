// The twelve text commands. Each reads its text, box (screen fractions), colour, face and weight,
// and for the ...WithBack forms an outline colour and width, fills one DisplayItem and appends it:
// the Str... commands to the DisplayList, which the next paint draws, the TitleStr... commands to
// the TitleList, which nothing draws. L, C and R align the text left, centred or right in its box.
#ifndef KELVADO_SCREEN_TEXT_COMMANDS_H
#define KELVADO_SCREEN_TEXT_COMMANDS_H

#include <cstdint>

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

#endif
