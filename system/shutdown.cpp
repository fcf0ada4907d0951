#include "system/shutdown.h"

int32_t ShutDownOnExit = 0;
