// The debug window in the native build, where no window exists: tools and tests set the handlers.
#ifndef KELVADO_SERVICES_DEBUG_WINDOW_NATIVE_H
#define KELVADO_SERVICES_DEBUG_WINDOW_NATIVE_H

#include "services/debug_window.h"

// PlatformOpenDebugWindow and PlatformCloseDebugWindow call these; an unset open handler stands
// for a window that cannot be created. Main thread only.
extern bool (*OpenDebugWindowHandler)();
extern void (*CloseDebugWindowHandler)();

#endif
