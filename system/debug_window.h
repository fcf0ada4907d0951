// The debug window as the interpreter and the main window use it: toggled by the Space key,
// shown again after every executed line while it is open.
#ifndef KELVADO_SYSTEM_DEBUG_WINDOW_H
#define KELVADO_SYSTEM_DEBUG_WINDOW_H

bool DebugWindowIsOpen();
// Space: closes the debug window when it is open, else opens it.
void DebugWindowToggle();
// After each executed line: while the window is open, repaints it and appends TraceLine to the
// dated debug file.
void DebugWindowShowLine();

#endif
