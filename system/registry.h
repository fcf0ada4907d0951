// The one registry write of the program: a REG_DWORD value under an existing key of
// HKEY_CURRENT_USER. Natively a table of keys stands in (system/registry_native.h).
#ifndef KELVADO_SYSTEM_REGISTRY_H
#define KELVADO_SYSTEM_REGISTRY_H

#include <cstdint>

// Opens `key` of HKEY_CURRENT_USER for reading and writing and, only if it opens, sets its value
// `name` to `value` as a REG_DWORD. The key is never created. False when nothing was written.
bool RegistrySetDwordOfExistingKey(const char* key, const char* name, uint32_t value);

#endif
