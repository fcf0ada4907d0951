// The shut-down in the native build: ShutDownSystem calls ShutDownSystemHandler, which tests set
// to record the call; an unset handler does nothing. Main thread only.
#ifndef KELVADO_SYSTEM_SHUTDOWN_NATIVE_H
#define KELVADO_SYSTEM_SHUTDOWN_NATIVE_H

#include "system/shutdown.h"

typedef void (*ShutDownFunction)();
extern ShutDownFunction ShutDownSystemHandler;

#endif
