#include <windows.h>
#include <cstring>

#include "platform/files.h"

bool FileCreateDirectory(const char* path) { return CreateDirectoryA(path, NULL) != 0; }

bool FileAppend(const char* path, const void* bytes, uint32_t length) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool done = SetFilePointer(file, 0, NULL, FILE_END) != INVALID_SET_FILE_POINTER &&
              WriteFile(file, bytes, length, &written, NULL) && written == length;
  CloseHandle(file);
  return done;
}

// The ReadableFile pointer is the Win32 file handle itself.
static HANDLE Handle(ReadableFile* file) { return reinterpret_cast<HANDLE>(file); }

ReadableFile* FileOpenRead(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return reinterpret_cast<ReadableFile*>(file);
}

uint32_t FileLength(ReadableFile* file) {
  DWORD high = 0;
  DWORD low = GetFileSize(Handle(file), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return high != 0 ? 0xFFFFFFFFu : low;
}

uint32_t FileRead(ReadableFile* file, void* bytes, uint32_t length) {
  unsigned char* next = static_cast<unsigned char*>(bytes);
  uint32_t done = 0;
  while (done < length) {
    DWORD got = 0;
    if (!::ReadFile(Handle(file), next + done, length - done, &got, NULL) || got == 0) break;
    done += got;
  }
  return done;
}

void FileClose(ReadableFile* file) { CloseHandle(Handle(file)); }

// The drive seam in kelvado.exe: KERNEL32's *A functions. GetDiskFreeSpaceExA is looked up at
// run time, never imported, so that the program still loads on Windows 95 before OSR2.
static_assert(kDriveUnknown == DRIVE_UNKNOWN && kDriveNoRootDir == DRIVE_NO_ROOT_DIR &&
                  kDriveRemovable == DRIVE_REMOVABLE && kDriveFixed == DRIVE_FIXED &&
                  kDriveRemote == DRIVE_REMOTE && kDriveCdrom == DRIVE_CDROM &&
                  kDriveRamDisk == DRIVE_RAMDISK,
              "drive types");
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
                  kErrorPathNotFound == ERROR_PATH_NOT_FOUND &&
                  kErrorAccessDenied == ERROR_ACCESS_DENIED &&
                  kErrorSharingViolation == ERROR_SHARING_VIOLATION &&
                  kErrorHandleDiskFull == ERROR_HANDLE_DISK_FULL &&
                  kErrorFileExists == ERROR_FILE_EXISTS && kErrorDiskFull == ERROR_DISK_FULL &&
                  kErrorFilenameTooLong == ERROR_FILENAME_EXCED_RANGE &&
                  kErrorAlreadyExists == ERROR_ALREADY_EXISTS,
              "system error numbers");
static_assert(kAttrReadOnly == FILE_ATTRIBUTE_READONLY && kAttrHidden == FILE_ATTRIBUTE_HIDDEN &&
                  kAttrSystem == FILE_ATTRIBUTE_SYSTEM &&
                  kAttrDirectory == FILE_ATTRIBUTE_DIRECTORY &&
                  kAttrArchive == FILE_ATTRIBUTE_ARCHIVE,
              "attribute bits");

bool ReadSystemVersion(SystemVersion* version) {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  std::memset(version, 0, sizeof *version);
  if (!GetVersionExA(&info)) return false;
  version->platform = info.dwPlatformId;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  version->build = info.dwBuildNumber;
  return true;
}

uint32_t LogicalDrives() { return GetLogicalDrives(); }

uint32_t DriveType(const char* root) { return GetDriveTypeA(root); }

bool DriveVolume(const char* root, char* label, size_t label_size, uint32_t* serial,
                 char* file_system, size_t file_system_size) {
  DWORD volume_serial = 0, longest = 0, flags = 0;
  if (!GetVolumeInformationA(root, label, static_cast<DWORD>(label_size), &volume_serial, &longest,
                             &flags, file_system, static_cast<DWORD>(file_system_size)))
    return false;
  *serial = volume_serial;
  return true;
}

bool DriveClusters(const char* root, uint32_t* sectors_per_cluster, uint32_t* bytes_per_sector,
                   uint32_t* free_clusters, uint32_t* total_clusters) {
  DWORD spc = 0, bps = 0, free_count = 0, total_count = 0;
  if (!GetDiskFreeSpaceA(root, &spc, &bps, &free_count, &total_count)) return false;
  *sectors_per_cluster = spc;
  *bytes_per_sector = bps;
  *free_clusters = free_count;
  *total_clusters = total_count;
  return true;
}

typedef BOOL(WINAPI* DiskFreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                              PULARGE_INTEGER);

bool DriveBytes(const char* root, uint64_t* free_bytes, uint64_t* total_bytes) {
  HMODULE kernel = LoadLibraryA("kernel32.dll");
  if (kernel == NULL) return false;
  DiskFreeSpaceExFunction get = reinterpret_cast<DiskFreeSpaceExFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  ULARGE_INTEGER available, total, free_total;
  bool done = get != nullptr && get(root, &available, &total, &free_total);
  FreeLibrary(kernel);
  if (!done) return false;
  *free_bytes = free_total.QuadPart;
  *total_bytes = total.QuadPart;
  return true;
}

struct DirListing {
  HANDLE find;
};

static void TakeEntry(const WIN32_FIND_DATAA& data, DirEntry* entry) {
  std::memcpy(entry->name, data.cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
  entry->directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry->attributes = data.dwFileAttributes;
}

DirListing* DirFirst(const char* pattern, DirEntry* entry, uint32_t* error) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return nullptr;
  }
  DirListing* listing = new DirListing{find};
  TakeEntry(data, entry);
  return listing;
}

bool DirNext(DirListing* listing, DirEntry* entry) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(listing->find, &data)) return false;
  TakeEntry(data, entry);
  return true;
}

void DirClose(DirListing* listing) {
  FindClose(listing->find);
  delete listing;
}

uint32_t FileCopyNew(const char* from, const char* to) {
  if (CopyFileA(from, to, TRUE)) return 0;
  DWORD error = GetLastError();
  return error != 0 ? error : kErrorAccessDenied;
}

uint32_t DirCreate(const char* path) {
  if (CreateDirectoryA(path, NULL)) return 0;
  DWORD error = GetLastError();
  return error != 0 ? error : kErrorAccessDenied;
}

bool DirSetAttributes(const char* path, uint32_t attributes) {
  // 0 would be refused; FILE_ATTRIBUTE_NORMAL is how the system spells "none".
  return SetFileAttributesA(path, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
}
