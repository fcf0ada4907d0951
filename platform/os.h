// The operating system's services that are neither files nor windows: the one registry write of
// the program and shutting the computer down. Natively each has a stand-in (platform/os_native.h).
#ifndef KELVADO_PLATFORM_OS_H
#define KELVADO_PLATFORM_OS_H

#include <cstdint>

// Opens `key` of HKEY_CURRENT_USER for reading and writing and, only if it opens, sets its value
// `name` to `value` as a REG_DWORD. The key is never created. False when nothing was written.
// Natively a table of keys stands in.
bool RegistrySetDwordOfExistingKey(const char* key, const char* name, uint32_t value);

// Shuts the system down (ExitWindowsEx with EWX_SHUTDOWN); failures are not reported.
// kelvado.exe defines it alone in os_shutdown_win32.cpp, so that test programs can link a
// recording stand-in in its place. Natively it calls its handler.
void ShutDownSystem();

#endif
