// The registry in the native build: the keys that exist, and the values written into them.
#ifndef KELVADO_SYSTEM_REGISTRY_NATIVE_H
#define KELVADO_SYSTEM_REGISTRY_NATIVE_H

#include <cstdint>

#include "system/registry.h"

void NativeRegistryAddKey(const char* key);
void NativeRegistryClear();
// The value written, or -1 when the key or the value does not exist.
int64_t NativeRegistryDword(const char* key, const char* name);

#endif
