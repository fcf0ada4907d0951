#include "system/debug_window.h"

// The debug window is not built yet: it never opens.
bool DebugWindowIsOpen() { return false; }
void DebugWindowToggle() {}
void DebugWindowShowLine() {}
