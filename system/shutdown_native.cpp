#include "system/shutdown_native.h"

ShutDownFunction ShutDownSystemHandler = nullptr;

void ShutDownSystem() {
  if (ShutDownSystemHandler) ShutDownSystemHandler();
}
