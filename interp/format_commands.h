// IValToStr and FValToStr: a number as text, by a format text from the script.
#ifndef KELVADO_INTERP_FORMAT_COMMANDS_H
#define KELVADO_INTERP_FORMAT_COMMANDS_H

#include <cstdint>

int32_t FuncIValToStr(char* args);
int32_t FuncFValToStr(char* args);

#endif
