#include "system/wait.h"

int32_t WaitTicks = 0;
