// The driver seam in the native build: no library to load, the driver is linked into the program.
#ifndef KELVADO_ASPI_ASPI_DRIVER_NATIVE_H
#define KELVADO_ASPI_ASPI_DRIVER_NATIVE_H

#include "aspi/aspi_driver.h"

// The driver the next DriverLibraryLoad finds. No support-info function and no send function
// stand for a library that does not load; only one of them for a library that lacks the other
// entry point.
void AspiLinkDriver(GetASPI32SupportInfoFunction support_info, SendASPI32CommandFunction send);

#endif
