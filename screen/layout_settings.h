// The layout settings: ten reals, 0.0 at start, each changed only by its command. Painting reads
// OffsetX1 and OffsetY1 to shift the bitmaps; nothing reads the others.
#ifndef KELVADO_SCREEN_LAYOUT_SETTINGS_H
#define KELVADO_SCREEN_LAYOUT_SETTINGS_H

#include <cstdint>

extern double LeftMargin;
extern double RightMargin;
extern double UpperMargin;
extern double LowerMargin;
extern double HSpace;
extern double VSpace;
extern double OffsetX1;  // bitmaps move right by OffsetX1 times their displayed width
extern double OffsetY1;  // and down by OffsetY1 times their displayed height
extern double OffsetX2;
extern double OffsetY2;

int32_t FuncSetLeftMargin(char* args);
int32_t FuncSetRightMargin(char* args);
int32_t FuncSetUpperMargin(char* args);
int32_t FuncSetLowerMargin(char* args);
int32_t FuncSetHSpace(char* args);
int32_t FuncSetVSpace(char* args);
// The offsets take "%fm": a name that is not yet a variable becomes a real variable holding 0.0.
int32_t FuncSetOffsetX1(char* args);
int32_t FuncSetOffsetY1(char* args);
int32_t FuncSetOffsetX2(char* args);
int32_t FuncSetOffsetY2(char* args);

#endif
