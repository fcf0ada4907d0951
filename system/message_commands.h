// IntrrimMsg, LastMsg and LastMsgInterval: accept any arguments, or none, and do nothing.
#ifndef KELVADO_SYSTEM_MESSAGE_COMMANDS_H
#define KELVADO_SYSTEM_MESSAGE_COMMANDS_H

#include <cstdint>

int32_t FuncIntrrimMsg(char* args);
int32_t FuncLastMsg(char* args);
int32_t FuncLastMsgInterval(char* args);

#endif
