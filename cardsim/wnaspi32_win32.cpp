// WNASPI32.DLL: the emulator as an ASPI for Win32 driver library. It reads its configuration from
// the environment when it is loaded and exports the interface's two entry points, __cdecl and
// undecorated (wnaspi32.def).
#include <windows.h>

#include <cstring>

#include "cardsim/cardsim.h"

extern HMODULE CardSimModule;

extern "C" DWORD __cdecl GetASPI32SupportInfo(void) { return CardSimGetSupportInfo(); }
extern "C" DWORD __cdecl SendASPI32Command(void* srb) { return CardSimSendCommand(srb); }

// Makes GetProcAddress miss an entry point: its name in the export table is changed in its second
// letter, which keeps the table in the sorted order the loader searches it in.
static void HideExport(HMODULE module, const char* name) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  IMAGE_DOS_HEADER* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0) return;
  IMAGE_EXPORT_DIRECTORY* exports =
      reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  DWORD* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    char* exported = reinterpret_cast<char*>(base + names[i]);
    if (std::strcmp(exported, name) != 0) continue;
    DWORD protection;
    if (VirtualProtect(exported, 2, PAGE_READWRITE, &protection)) {
      exported[1] = '_';
      VirtualProtect(exported, 2, protection, &protection);
    }
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    CardSimModule = instance;
    CardSimConfig config;
    CardSimConfigFromEnvironment(&config);
    if (config.load_fails) return FALSE;
    if (config.missing_entry[0] != '\0') HideExport(instance, config.missing_entry);
    CardSimStart(config);
  } else if (reason == DLL_PROCESS_DETACH && reserved == NULL) {
    // Freed by the program. Had a request ever reached the worker thread the library would have
    // pinned itself, so no thread runs here.
    CardSimStop();
  }
  return TRUE;
}
