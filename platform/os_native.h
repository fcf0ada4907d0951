// The operating system's services in the native build: a registry of the keys that exist and the
// values written into them, and a shut-down that only tells its handler.
#ifndef KELVADO_PLATFORM_OS_NATIVE_H
#define KELVADO_PLATFORM_OS_NATIVE_H

#include <cstdint>

#include "platform/os.h"

// The registry.
void NativeRegistryAddKey(const char* key);
void NativeRegistryClear();
// The value written, or -1 when the key or the value does not exist.
int64_t NativeRegistryDword(const char* key, const char* name);

// ShutDownSystem calls ShutDownSystemHandler, which tests set to record the call; an unset handler
// does nothing. Main thread only.
typedef void (*ShutDownFunction)();
extern ShutDownFunction ShutDownSystemHandler;

#endif
