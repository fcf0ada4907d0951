// The date and time commands: the local time of the clock seam as texts.
#ifndef KELVADO_INTERP_DATE_COMMANDS_H
#define KELVADO_INTERP_DATE_COMMANDS_H

#include <cstdint>

int32_t FuncGetDateTime(char* args);
int32_t FuncGetDateTime2(char* args);
int32_t FuncGetDate(char* args);
int32_t FuncGetTime(char* args);

#endif
