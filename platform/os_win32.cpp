#include <windows.h>

#include "platform/os.h"

bool RegistrySetDwordOfExistingKey(const char* key, const char* name, uint32_t value) {
  HKEY opened;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ | KEY_WRITE, &opened) != ERROR_SUCCESS)
    return false;
  DWORD data = value;
  bool done = RegSetValueExA(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                             sizeof data) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return done;
}
