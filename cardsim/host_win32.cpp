// The emulator's host inside WNASPI32.DLL: the Win32 kernel only (files, environment, events),
// all of which Windows 95 has.
#include <windows.h>

#include "cardsim/host.h"

HMODULE CardSimModule = NULL;  // set by DllMain

bool HostGetEnv(const char* name, char* value, size_t size) {
  value[0] = '\0';
  DWORD length = GetEnvironmentVariableA(name, value, static_cast<DWORD>(size));
  if (length == 0) return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  if (length >= size) {
    // Too long for the buffer: the variable is there, its text is cut.
    char* whole = new char[length + 1];
    GetEnvironmentVariableA(name, whole, length + 1);
    lstrcpynA(value, whole, static_cast<int>(size));
    delete[] whole;
  }
  return true;
}

void HostReport(const char* message) {
  HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written;
  if (out != NULL && out != INVALID_HANDLE_VALUE) {
    WriteFile(out, "cardsim: ", 9, &written, NULL);
    WriteFile(out, message, static_cast<DWORD>(lstrlenA(message)), &written, NULL);
    WriteFile(out, "\r\n", 2, &written, NULL);
  }
  OutputDebugStringA(message);
}

struct ImageFile {
  HANDLE handle;
};

ImageFile* ImageOpen(const char* path, bool* read_only) {
  *read_only = false;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
  if (handle == INVALID_HANDLE_VALUE) {
    handle =
        CreateFileA(path, GENERIC_READ, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    *read_only = true;
  }
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return new ImageFile{handle};
}

void ImageClose(ImageFile* image) {
  CloseHandle(image->handle);
  delete image;
}

uint64_t ImageSize(ImageFile* image) {
  DWORD high = 0;
  DWORD low = GetFileSize(image->handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return static_cast<uint64_t>(high) << 32 | low;
}

static bool Seek(ImageFile* image, uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  DWORD low =
      SetFilePointer(image->handle, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool ImageRead(ImageFile* image, uint64_t offset, void* data, uint32_t length) {
  DWORD done = 0;
  return Seek(image, offset) && ReadFile(image->handle, data, length, &done, NULL) &&
         done == length;
}

bool ImageWrite(ImageFile* image, uint64_t offset, const void* data, uint32_t length) {
  DWORD done = 0;
  return Seek(image, offset) && WriteFile(image->handle, data, length, &done, NULL) &&
         done == length;
}

bool HostWriteFile(const char* folder, const char* name, const char* text) {
  char path[MAX_PATH];
  if (lstrlenA(folder) + 1 + lstrlenA(name) >= MAX_PATH) return false;
  lstrcpyA(path, folder);
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD length = static_cast<DWORD>(lstrlenA(text)), done = 0;
  bool written = WriteFile(file, text, length, &done, NULL) && done == length;
  return CloseHandle(file) && written;
}

void HostSignalEvent(void* handle) { SetEvent(static_cast<HANDLE>(handle)); }

void HostRaiseException() {
  RaiseException(0xE0435344u, 0, 0, NULL);  // a code of the application range
  ExitProcess(3);                           // not reached: nothing continues this exception
}

// Once the worker thread runs, the library must not leave memory under it; an extra reference
// that is never released keeps it mapped until the process ends.
void HostKeepLoaded() {
  static bool kept = false;
  if (kept) return;
  char path[MAX_PATH];
  if (GetModuleFileNameA(CardSimModule, path, sizeof path) != 0 && LoadLibraryA(path) != NULL)
    kept = true;
}

// Wine's mount manager request that defines a drive letter, as its public header
// ddk/mountmgr.h lays it out: the Unix folder of the drive follows the struct, zero-terminated, at
// mount_point_offset. The layout is the same for 32-bit and 64-bit callers.
struct MountManagerUnixDrive {
  ULONG size;
  ULONG type;
  ULONG fs_type;
  DWORD serial;
  ULONGLONG unix_dev;
  WCHAR letter;
  USHORT mount_point_offset;
  USHORT device_offset;
  USHORT label_offset;
};
static_assert(sizeof(MountManagerUnixDrive) == 32, "the mount manager's request is 32 bytes");

static const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// The Unix path of a folder named by a Windows path: Wine's own conversion where it offers one,
// else the Z: drive's rule (Z:\a\b is /a/b). Empty when it cannot be known.
static void UnixPath(const char* folder, char* unix_path, size_t size) {
  unix_path[0] = '\0';
  typedef char*(__cdecl * ToUnix)(const WCHAR*);
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  ToUnix to_unix = kernel ? reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
                                GetProcAddress(kernel, "wine_get_unix_file_name")))
                          : NULL;
  WCHAR wide[MAX_PATH];
  if (to_unix && MultiByteToWideChar(CP_ACP, 0, folder, -1, wide, MAX_PATH) > 0) {
    char* converted = to_unix(wide);
    if (converted) {
      lstrcpynA(unix_path, converted, static_cast<int>(size));
      HeapFree(GetProcessHeap(), 0, converted);
      return;
    }
  }
  if ((folder[0] == 'Z' || folder[0] == 'z') && folder[1] == ':' && folder[2] == '\\') {
    lstrcpynA(unix_path, folder + 2, static_cast<int>(size));
    for (char* at = unix_path; *at; ++at)
      if (*at == '\\') *at = '/';
  }
}

static bool DefineDrive(HANDLE manager, char letter, ULONG type, const char* unix_path) {
  char request[sizeof(MountManagerUnixDrive) + MAX_PATH + 1];
  ZeroMemory(request, sizeof request);
  MountManagerUnixDrive* drive = reinterpret_cast<MountManagerUnixDrive*>(request);
  DWORD length = sizeof(MountManagerUnixDrive);
  drive->type = type;
  drive->letter = static_cast<WCHAR>(letter - 'A' + 'a');
  if (unix_path) {
    drive->mount_point_offset = sizeof(MountManagerUnixDrive);
    lstrcpynA(request + length, unix_path, MAX_PATH + 1);
    length += static_cast<DWORD>(lstrlenA(unix_path)) + 1;
  }
  drive->size = length;
  DWORD returned = 0;
  return DeviceIoControl(manager, kDefineUnixDrive, request, length, NULL, 0, &returned, NULL) != 0;
}

bool HostRemountVolume(char letter, const char* folder) {
  char unix_path[MAX_PATH + 1];
  UnixPath(folder, unix_path, sizeof unix_path);
  if (unix_path[0] == '\0') return false;
  HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  if (manager == INVALID_HANDLE_VALUE) return false;
  // Out, then in again as a fixed disk: the system forgets the old volume and reads the new one.
  bool done = DefineDrive(manager, letter, DRIVE_NO_ROOT_DIR, NULL) &&
              DefineDrive(manager, letter, DRIVE_FIXED, unix_path);
  CloseHandle(manager);
  return done;
}
