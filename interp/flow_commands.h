// The flow-control commands: jumps, the comparison and the sections armed for later events.
#ifndef KELVADO_INTERP_FLOW_COMMANDS_H
#define KELVADO_INTERP_FLOW_COMMANDS_H

#include <cstdint>

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

#endif
