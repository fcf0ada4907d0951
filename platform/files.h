// Files, directories and drives: appending to and reading files, the drives and directories as
// drive information and the copy of C: see them, and the names of the dated files. Paths are
// byte strings used exactly as given: the program never adds a separator.
//
// In kelvado.exe these are the *A functions of KERNEL32 (GetDiskFreeSpaceExA looked up at run
// time: Windows 95 before OSR2 lacks it). Natively a table of drives over host folders stands in,
// which tests fill (platform/files_native.h) with the type, serial, label, file system and cluster
// figures they choose, and which keeps each entry's attributes itself; a path "X:\..." names a
// file of drive X: of that table, any other path a host file.
#ifndef KELVADO_PLATFORM_FILES_H
#define KELVADO_PLATFORM_FILES_H

#include <cstddef>
#include <cstdint>

#include "platform/clock.h"

// --- Appending, as the dated debug and log files do ---

// Creates one directory level; false when it fails (an existing directory included).
bool FileCreateDirectory(const char* path);
// Opens the file for writing with shared reading, creating it when missing, writes `length`
// bytes at its end and closes it. False when it cannot be opened or not every byte is written.
bool FileAppend(const char* path, const void* bytes, uint32_t length);

// --- Reading a file from its start, as the bitmap loader does ---

struct ReadableFile;

// Opens an existing file for reading; others may read it meanwhile, nobody may write it.
// nullptr when it cannot be opened.
ReadableFile* FileOpenRead(const char* path);
// Length of the file in bytes (files of 4 GiB or more count as 0xFFFFFFFF).
uint32_t FileLength(ReadableFile* file);
// Reads up to `length` bytes from where the last read ended; the count read, less at the end of
// the file or on a failure.
uint32_t FileRead(ReadableFile* file, void* bytes, uint32_t length);
void FileClose(ReadableFile* file);

// --- The drives and files as drive information and the copy of C: see them: the operating
// system's version, each drive's type, volume and free space, the listing of a directory, the copy
// of a file that is not on the target yet, and the making of a directory ---

// GetDriveTypeA values.
const uint32_t kDriveUnknown = 0;
const uint32_t kDriveNoRootDir = 1;
const uint32_t kDriveRemovable = 2;
const uint32_t kDriveFixed = 3;
const uint32_t kDriveRemote = 4;
const uint32_t kDriveCdrom = 5;
const uint32_t kDriveRamDisk = 6;

// System error numbers (GetLastError) that the copy tells apart.
const uint32_t kErrorFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
const uint32_t kErrorPathNotFound = 3;       // ERROR_PATH_NOT_FOUND
const uint32_t kErrorAccessDenied = 5;       // ERROR_ACCESS_DENIED
const uint32_t kErrorSharingViolation = 32;  // ERROR_SHARING_VIOLATION
const uint32_t kErrorHandleDiskFull = 39;    // ERROR_HANDLE_DISK_FULL
const uint32_t kErrorFileExists = 80;        // ERROR_FILE_EXISTS
const uint32_t kErrorAlreadyExists = 183;    // ERROR_ALREADY_EXISTS
const uint32_t kErrorDiskFull = 112;         // ERROR_DISK_FULL
const uint32_t kErrorFilenameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

// What GetVersionExA reports: dwPlatformId (0 Win32s, 1 Windows 95/98, 2 NT), the version and
// the build number as the system gives it (only its low 16 bits mean anything on 95/98).
struct SystemVersion {
  uint32_t platform;
  uint32_t major;
  uint32_t minor;
  uint32_t build;
};
// False when the system does not answer (the fields are then zero).
bool ReadSystemVersion(SystemVersion* version);

// Bit i set when drive 'A' + i exists (GetLogicalDrives).
uint32_t LogicalDrives();
// The GetDriveTypeA value of a root path ("C:\").
uint32_t DriveType(const char* root);
// Label and file system name, cut to fit their buffers, and the volume serial of a root
// (GetVolumeInformationA); false when the volume cannot be read.
bool DriveVolume(const char* root, char* label, size_t label_size, uint32_t* serial,
                 char* file_system, size_t file_system_size);
// Cluster figures of a root (GetDiskFreeSpaceA); false on failure. On Windows 98 the system caps
// them so that neither product exceeds about 2 GiB.
bool DriveClusters(const char* root, uint32_t* sectors_per_cluster, uint32_t* bytes_per_sector,
                   uint32_t* free_clusters, uint32_t* total_clusters);
// Total free bytes and total bytes of a root (GetDiskFreeSpaceExA); false when the system lacks
// the function or it fails.
bool DriveBytes(const char* root, uint64_t* free_bytes, uint64_t* total_bytes);

// The DOS attribute bits of files and directories, as Win32 lists them (FILE_ATTRIBUTE_*) and as
// a FAT directory entry keeps them (the volume label's bit only there).
const uint32_t kAttrReadOnly = 0x01;
const uint32_t kAttrHidden = 0x02;
const uint32_t kAttrSystem = 0x04;
const uint32_t kAttrVolumeLabel = 0x08;
const uint32_t kAttrDirectory = 0x10;
const uint32_t kAttrArchive = 0x20;

// One entry of a directory listing.
struct DirEntry {
  char name[260];
  bool directory;
  uint32_t attributes;  // kAttr* bits as the system lists them
};
struct DirListing;
// Starts listing the entries that match `pattern` ("C:\dir\*.*", or "C:\dir" for that directory
// itself): the listing and its first entry, or nullptr (with the system's error number in *error)
// when there is none or the directory cannot be read.
DirListing* DirFirst(const char* pattern, DirEntry* entry, uint32_t* error);
// The next entry; false at the end.
bool DirNext(DirListing* listing, DirEntry* entry);
void DirClose(DirListing* listing);

// Copies a file to a path where nothing is yet (CopyFileA with fail-if-exists): 0, or the
// system's error number (kErrorFileExists when the target is there, kErrorDiskFull or
// kErrorHandleDiskFull when the target has no room).
uint32_t FileCopyNew(const char* from, const char* to);
// Makes one directory level (CreateDirectoryA): 0, or the system's error number
// (kErrorAlreadyExists when it is there; on a full drive kErrorDiskFull, or on Windows 95/98 often
// kErrorAccessDenied, so a caller asks DriveClusters whether any room is left).
uint32_t DirCreate(const char* path);
// Gives a file or directory these attribute bits (SetFileAttributesA); false when it fails.
bool DirSetAttributes(const char* path, uint32_t attributes);

// --- The dated files: "<dir><yyyy><mm><dd><extension>", the directory used exactly as given (it
// must end with "\" to be a folder). The debug file (".deb") and the log (".log") of the
// program's log directory, and the list of files the copy of the system drive left out, are all
// named here ---

// The room the date and the extension take at the most, terminator included.
const size_t kDatedNameLength = 16;
// Writes the name into `path`; false, with `path` emptied, when it does not fit.
bool DatedFileName(char* path, size_t size, const char* dir, const ClockTime& date,
                   const char* extension);

// Makes every missing directory level of `dir` up to its last separator ("\" or "/"; a trailing
// name without one is a file name prefix, not a directory): "c:\data1\log1\" makes "c:\data1" and
// "c:\data1\log1". Drive letters and roots are never made; Shift-JIS second bytes equal to "\"
// are not separators. A `dir` of 256 bytes or more is left alone. Failures are left to the file's
// own open to report.
void MakeDirectoryPath(const char* dir);

// Appends `text` to the dated file of `dir`, after making every missing level of `dir`, so the
// file lands where its name says. The file's name goes into `path`; false, with `path` emptied,
// when the text could not be written whole (or the name does not fit).
bool AppendToDatedFileMakingPath(const char* dir, const ClockTime& date, const char* extension,
                                 const char* text, char* path, size_t path_size);

#endif
