// The host adapter driver as the device layer reaches it: the two entry points of the ASPI for
// Win32 library and the platform work of loading it.
//
// In kelvado.exe the library is "WNASPI32.DLL", loaded with LoadLibraryA (aspi_driver_win32.cpp).
// Natively there is no library to load: a program links a driver in (the card emulator) and
// names its entry points with AspiLinkDriver (aspi_driver_native.h).
#ifndef KELVADO_ASPI_ASPI_DRIVER_H
#define KELVADO_ASPI_ASPI_DRIVER_H

#include <cstdint>

#include "aspi/srb.h"

// The library's entry points GetASPI32SupportInfo and SendASPI32Command, as loaded; null while
// none is loaded.
extern GetASPI32SupportInfoFunction DriverSupportInfoEntry;
extern SendASPI32CommandFunction DriverSendCommandEntry;
// Threads: loaded and unloaded by the main thread while no worker runs; called by the main thread
// and the engine worker, never while they change.

// Loads the library and looks up both entry points: 0, 504 (the library does not load) or 501 (an
// entry point is missing; the library is released again).
int32_t DriverLibraryLoad();
// Releases the library and forgets the entry points. With `keep_mapped` the library's code stays
// in memory (the driver still holds requests and may run them to their end).
void DriverLibraryFree(bool keep_mapped);
// Calls DriverSupportInfoEntry, guarded: false when the call raised an exception.
bool DriverSupportInfo(uint32_t* info);

// Requests that timed out while the driver still held them (see ExecSrb).
// Frees every held request whose event the driver has signalled since.
void ReleaseFinishedRequests();

#endif
