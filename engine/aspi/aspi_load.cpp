// Loading and releasing the ASPI driver library.
#include "engine/aspi/aspi.h"
#include "engine/aspi/aspi_driver.h"
#include "engine/aspi/aspi_requests.h"

static int32_t LoadFailed(int32_t code, bool loaded) {
  if (loaded) DriverLibraryFree(false);
  HostAdapterCount = -1;
  return code;
}

int32_t AspiLoad() {
  // Loaded again without an unload in between: the earlier load is released, not leaked.
  if (GetASPI32SupportInfo != nullptr) AspiUnload();
  int32_t code = DriverLibraryLoad();
  if (code != 0) return LoadFailed(code, false);
  uint32_t info = 0;
  if (!DriverSupportInfo(&info)) return LoadFailed(kAspiInitFailed, true);
  if (((info >> 8) & 0xFF) != SS_COMP) return LoadFailed(kAspiNoAdapterInfo, true);
  HostAdapterCount = static_cast<int32_t>(info & 0xFF);
  return 0;
}

// A request the driver still holds may yet run to its end inside the library, so the library's
// code stays mapped while there is one; its request block, buffer and event stay alive too.
void AspiUnload() {
  ReleaseFinishedRequests();
  DriverLibraryFree(AspiHeldRequests() > 0);
  HostAdapterCount = -1;
}
