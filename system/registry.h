// The one registry write of the program: a REG_DWORD value under an existing key of
// HKEY_CURRENT_USER. Natively a table of keys stands in, which tests fill and read back.
#ifndef KELVADO_SYSTEM_REGISTRY_H
#define KELVADO_SYSTEM_REGISTRY_H

#include <cstdint>

// Opens `key` of HKEY_CURRENT_USER for reading and writing and, only if it opens, sets its value
// `name` to `value` as a REG_DWORD. The key is never created. False when nothing was written.
bool RegistrySetDwordOfExistingKey(const char* key, const char* name, uint32_t value);

// Native builds only: keys that exist, and the values written into them.
void NativeRegistryAddKey(const char* key);
void NativeRegistryClear();
// The value written, or -1 when the key or the value does not exist.
int64_t NativeRegistryDword(const char* key, const char* name);

#endif
