// The engine-wide state of the device layer.
#include <cstring>

#include "aspi/aspi.h"
#include "aspi/aspi_driver.h"

char HostAdapterName[32] = "";
char TargetDeviceName[32] = "";
uint32_t TargetCapacity = 0;
int32_t AdapterNumber = -1;
int32_t HostAdapterCount = -1;

void ResetTargetIdentity() {
  HostAdapterName[0] = TargetDeviceName[0] = '\0';
  TargetCapacity = 0;
  AdapterNumber = -1;
}

// Loading and releasing the ASPI driver library.
static int32_t LoadFailed(int32_t code, bool loaded) {
  if (loaded) DriverLibraryFree(false);
  HostAdapterCount = -1;
  return code;
}

int32_t AspiLoad() {
  // Loaded again without an unload in between: the earlier load is released, not leaked.
  if (DriverSupportInfoEntry != nullptr) AspiUnload();
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

// Choosing the host adapter by its identifier.
int32_t HaInquiry(int32_t adapter, const char* name) {
  if (DriverSendCommandEntry == nullptr) return kAspiFailed;
  SRB_HAInquiry srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = SC_HA_INQUIRY;
  srb.SRB_HaId = static_cast<uint8_t>(adapter);
  srb.SRB_Flags = 0;
  if (DriverSendCommandEntry(&srb) != SS_COMP) return kAspiFailed;
  if (srb.HA_ManagerId[0] < 0x20) return kAspiFailed;
  // The identifier field is 16 bytes; one that fills it has no zero byte and ends with the field.
  size_t length = 0;
  while (length < sizeof srb.HA_Identifier && srb.HA_Identifier[length] != 0) ++length;
  if (std::strlen(name) != length) return kAspiFailed;
  return std::memcmp(srb.HA_Identifier, name, length) == 0 ? 0 : -1;
}

int32_t FindHostAdapter() {
  for (int32_t adapter = 0; adapter < HostAdapterCount; ++adapter) {
    if (HaInquiry(adapter, HostAdapterName) == 0) {
      AdapterNumber = adapter;
      return 1;
    }
  }
  AdapterNumber = -1;
  return 0;
}
