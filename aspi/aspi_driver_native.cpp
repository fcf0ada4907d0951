// The driver seam natively: the driver is linked into the program and named by AspiLinkDriver.
#include "aspi/aspi_driver_native.h"

#include "aspi/aspi.h"

GetASPI32SupportInfoFunction DriverSupportInfoEntry = nullptr;
SendASPI32CommandFunction DriverSendCommandEntry = nullptr;

static GetASPI32SupportInfoFunction LinkedSupportInfo = nullptr;
static SendASPI32CommandFunction LinkedSend = nullptr;

void AspiLinkDriver(GetASPI32SupportInfoFunction support_info, SendASPI32CommandFunction send) {
  LinkedSupportInfo = support_info;
  LinkedSend = send;
}

int32_t DriverLibraryLoad() {
  if (LinkedSupportInfo == nullptr && LinkedSend == nullptr) return kAspiNoLibrary;
  if (LinkedSupportInfo == nullptr || LinkedSend == nullptr) return kAspiNoEntryPoints;
  DriverSupportInfoEntry = LinkedSupportInfo;
  DriverSendCommandEntry = LinkedSend;
  return 0;
}

void DriverLibraryFree(bool) {
  DriverSupportInfoEntry = nullptr;
  DriverSendCommandEntry = nullptr;
}

// A linked-in driver reports an exception in its support information as a C++ exception.
bool DriverSupportInfo(uint32_t* info) {
  try {
    *info = DriverSupportInfoEntry();
    return true;
  } catch (...) {
    return false;
  }
}
