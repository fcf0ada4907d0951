#include "system/shutdown.h"

ShutDownFunction ShutDownSystemHandler = nullptr;

void ShutDownSystem() {
  if (ShutDownSystemHandler) ShutDownSystemHandler();
}
