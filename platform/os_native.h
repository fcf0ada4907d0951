// The operating system's services in the native build. The registry: the keys that exist, and the
// values written into them.
#ifndef KELVADO_PLATFORM_OS_NATIVE_H
#define KELVADO_PLATFORM_OS_NATIVE_H

#include <cstdint>

#include "platform/os.h"

void NativeRegistryAddKey(const char* key);
void NativeRegistryClear();
// The value written, or -1 when the key or the value does not exist.
int64_t NativeRegistryDword(const char* key, const char* name);

// The shut-down in the native build: ShutDownSystem calls ShutDownSystemHandler, which tests set
// to record the call; an unset handler does nothing. Main thread only.
typedef void (*ShutDownFunction)();
extern ShutDownFunction ShutDownSystemHandler;

#endif
