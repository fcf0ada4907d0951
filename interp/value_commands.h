// The integer, bit and real commands: arithmetic on the script's numeric variables.
#ifndef KELVADO_INTERP_VALUE_COMMANDS_H
#define KELVADO_INTERP_VALUE_COMMANDS_H

#include <cstdint>

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

#endif
