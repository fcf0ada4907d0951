#include "system/message_commands.h"

int32_t FuncIntrrimMsg(char*) { return 0; }
int32_t FuncLastMsg(char*) { return 0; }
int32_t FuncLastMsgInterval(char*) { return 0; }
