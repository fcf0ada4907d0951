// The interpreter's own commands: flow control, values, value formatting, strings, and the date
// and time.
#ifndef KELVADO_INTERP_COMMANDS_H
#define KELVADO_INTERP_COMMANDS_H

#include <cstdint>

#include "interp/command_table.h"

// The interpreter's table of its own commands, in the order it contributes them.
extern const CommandEntry kInterpCommands[];

// The flow-control commands: jumps, the comparison and the sections armed for later events.
int32_t FuncGoto(char* args);
int32_t FuncIf(char* args);
int32_t FuncSetTrueSection(char* args);
int32_t FuncSetFalseSection(char* args);
int32_t FuncSetTouchSection(char* args);
int32_t FuncSetCoinSectionSub(char* args);
int32_t FuncSetEndSection(char* args);
int32_t FuncSetVGAToFmEndSection(char* args);
int32_t FuncDiagNext(char* args);
int32_t FuncErrorNext(char* args);
int32_t FuncOkNext(char* args);

// The integer, bit and real commands: arithmetic on the script's numeric variables.
int32_t FuncIValSet(char* args);
int32_t FuncIValInc(char* args);
int32_t FuncIValDec(char* args);
int32_t FuncIValAdd(char* args);
int32_t FuncIValSub(char* args);
int32_t FuncIValMul(char* args);
int32_t FuncIValDiv(char* args);
int32_t FuncIValMod(char* args);
int32_t FuncAnd(char* args);
int32_t FuncOr(char* args);

int32_t FuncFValSet(char* args);
int32_t FuncFValAdd(char* args);
int32_t FuncFValSub(char* args);
int32_t FuncFValMul(char* args);
int32_t FuncFValDiv(char* args);

// The value formatting commands: a number as text by a format text from the script, as
// wsprintfA (integers) and printf (reals) make it (interp/formats.h).
int32_t FuncIValToStr(char* args);
int32_t FuncFValToStr(char* args);

// The string commands: assignment, concatenation, comparison, one-byte change and splitting.
// Strings are byte texts of at most 255 bytes in 256-byte slots; positions count bytes.
int32_t FuncStrSet(char* args);
int32_t FuncStrCat(char* args);
int32_t FuncStrCmp(char* args);
int32_t FuncStrSetn(char* args);
int32_t FuncDividStr(char* args);

// The date and time commands: the local time of the clock seam as texts.
int32_t FuncGetDateTime(char* args);
int32_t FuncGetDateTime2(char* args);
int32_t FuncGetDate(char* args);
int32_t FuncGetTime(char* args);

#endif
