#include "system/shutdown.h"

bool ShutDownOnExit = false;
