// The string commands: assignment, concatenation, comparison, one-byte change and splitting.
// Strings are byte texts of at most 255 bytes in 256-byte slots; positions count bytes.
#ifndef KELVADO_INTERP_STRING_COMMANDS_H
#define KELVADO_INTERP_STRING_COMMANDS_H

#include <cstdint>

int32_t FuncStrSet(char* args);
int32_t FuncStrCat(char* args);
int32_t FuncStrCmp(char* args);
int32_t FuncStrSetn(char* args);
int32_t FuncDividStr(char* args);

#endif
