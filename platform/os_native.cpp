// The registry natively: the keys a test made, each with the DWORD values written into it.
#include "platform/os_native.h"

#include <map>
#include <string>

static std::map<std::string, std::map<std::string, uint32_t>>& Keys() {
  static std::map<std::string, std::map<std::string, uint32_t>> keys;
  return keys;
}

bool RegistrySetDwordOfExistingKey(const char* key, const char* name, uint32_t value) {
  auto found = Keys().find(key);
  if (found == Keys().end()) return false;
  found->second[name] = value;
  return true;
}

void NativeRegistryAddKey(const char* key) { Keys()[key]; }

void NativeRegistryClear() { Keys().clear(); }

int64_t NativeRegistryDword(const char* key, const char* name) {
  auto found = Keys().find(key);
  if (found == Keys().end()) return -1;
  auto value = found->second.find(name);
  return value == found->second.end() ? -1 : static_cast<int64_t>(value->second);
}

ShutDownFunction ShutDownSystemHandler = nullptr;

void ShutDownSystem() {
  if (ShutDownSystemHandler) ShutDownSystemHandler();
}
