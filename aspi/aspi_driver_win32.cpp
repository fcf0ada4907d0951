// The driver seam in kelvado.exe: "WNASPI32.DLL", loaded at run time.
#include <windows.h>

#include "aspi/aspi.h"
#include "aspi/aspi_driver.h"
#include "aspi/exception_guard_win32.h"

GetASPI32SupportInfoFunction GetASPI32SupportInfo = nullptr;
SendASPI32CommandFunction SendASPI32Command = nullptr;

static HMODULE AspiLibrary = NULL;

int32_t DriverLibraryLoad() {
  AspiLibrary = LoadLibraryA("WNASPI32.DLL");
  if (AspiLibrary == NULL) return kAspiNoLibrary;
  GetASPI32SupportInfo = reinterpret_cast<GetASPI32SupportInfoFunction>(
      reinterpret_cast<void*>(GetProcAddress(AspiLibrary, "GetASPI32SupportInfo")));
  SendASPI32Command = reinterpret_cast<SendASPI32CommandFunction>(
      reinterpret_cast<void*>(GetProcAddress(AspiLibrary, "SendASPI32Command")));
  if (GetASPI32SupportInfo == nullptr || SendASPI32Command == nullptr) {
    DriverLibraryFree(false);
    return kAspiNoEntryPoints;
  }
  return 0;
}

void DriverLibraryFree(bool keep_mapped) {
  if (AspiLibrary != NULL && !keep_mapped) FreeLibrary(AspiLibrary);
  AspiLibrary = NULL;
  GetASPI32SupportInfo = nullptr;
  SendASPI32Command = nullptr;
}

bool DriverSupportInfo(uint32_t* info) { return CallGuarded(GetASPI32SupportInfo, info); }
