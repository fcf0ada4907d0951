#include "platform/files_native.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/files.h"

// "X:\dir\name" is the file of drive X: of the drive seam's table; a path without a drive letter
// is a host path. A drive letter the table lacks names nothing.
static bool Resolve(const char* path, std::string* host) {
  if (path[0] != '\0' && path[1] == ':') return NativeHostPath(path, host);
  *host = path;
  return true;
}

bool FileCreateDirectory(const char* path) {
  std::string host;
  return Resolve(path, &host) && mkdir(host.c_str(), 0777) == 0;
}

bool FileAppend(const char* path, const void* bytes, uint32_t length) {
  std::string host;
  if (!Resolve(path, &host)) return false;
  int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
  if (fd < 0) return false;
  const char* next = static_cast<const char*>(bytes);
  uint32_t left = length;
  while (left > 0) {
    ssize_t written = write(fd, next, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    next += written;
    left -= static_cast<uint32_t>(written);
  }
  close(fd);
  return left == 0;
}

// The ReadableFile pointer is the C library's FILE.
static FILE* Stream(ReadableFile* file) { return reinterpret_cast<FILE*>(file); }

ReadableFile* FileOpenRead(const char* path) { return reinterpret_cast<ReadableFile*>(std::fopen(path, "rb")); }

uint32_t FileLength(ReadableFile* file) {
  FILE* stream = Stream(file);
  long here = std::ftell(stream);
  if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(stream);
  std::fseek(stream, here, SEEK_SET);
  if (end < 0) return 0;
  return static_cast<unsigned long>(end) > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(end);
}

uint32_t FileRead(ReadableFile* file, void* bytes, uint32_t length) {
  return static_cast<uint32_t>(std::fread(bytes, 1, length, Stream(file)));
}

void FileClose(ReadableFile* file) { std::fclose(Stream(file)); }

// The drive seam natively: a table of drives, each a host folder with the type, volume and space
// figures a test chose. "X:\dir\name" is the file "<folder>/dir/name" of drive X:; listings are
// in name order and, outside a root, begin with "." and "..", as the system lists them.
namespace {

struct DriveState {
  NativeDrive drive;
  std::string folder, label, file_system;
  uint64_t written;
};

const SystemVersion kWindows98 = {1, 4, 10, 0x040A07CE};

std::map<char, DriveState> drives;
std::set<std::string> held;
std::map<std::string, int32_t> creates;
std::map<std::string, uint32_t> attributes;  // by host path
SystemVersion system_version = kWindows98;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

DriveState* FindDrive(const char* path) {
  if (path == nullptr || path[0] == '\0' || path[1] != ':') return nullptr;
  auto found = drives.find(Upper(path[0]));
  return found == drives.end() ? nullptr : &found->second;
}

// The host path of "X:\...", or false when the drive does not exist.
bool HostPath(const char* path, std::string* host, DriveState** state = nullptr) {
  DriveState* drive = FindDrive(path);
  if (drive == nullptr) return false;
  *host = drive->folder;
  const char* rest = path + 2;
  if (*rest != '\\' && *rest != '\0') return false;  // relative to a current directory: none here
  for (; *rest != '\0'; ++rest) *host += *rest == '\\' ? '/' : *rest;
  if (state != nullptr) *state = drive;
  return true;
}

uint32_t AttributesOf(const std::string& host) {
  auto found = attributes.find(host);
  return found == attributes.end() ? 0 : found->second;
}

// Whether the directory that would hold `host` refuses new entries.
bool ParentReadOnly(const std::string& host) {
  size_t slash = host.rfind('/');
  return slash != std::string::npos && (AttributesOf(host.substr(0, slash)) & kAttrReadOnly) != 0;
}

uint64_t ClusterBytes(const DriveState& drive) {
  uint64_t bytes = uint64_t{drive.drive.sectors_per_cluster} * drive.drive.bytes_per_sector;
  return bytes != 0 ? bytes : 1;
}

void CopyCut(char* out, size_t size, const std::string& text) {
  if (size == 0) return;
  size_t length = std::min(text.size(), size - 1);
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

}  // namespace

struct DirListing {
  std::vector<DirEntry> entries;
  size_t next;
};

bool ReadSystemVersion(SystemVersion* version) {
  *version = system_version;
  return true;
}

uint32_t LogicalDrives() {
  uint32_t mask = 0;
  for (const auto& entry : drives) mask |= 1u << (entry.first - 'A');
  return mask;
}

uint32_t DriveType(const char* root) {
  DriveState* drive = FindDrive(root);
  return drive == nullptr ? kDriveNoRootDir : drive->drive.type;
}

bool DriveVolume(const char* root, char* label, size_t label_size, uint32_t* serial,
                 char* file_system, size_t file_system_size) {
  DriveState* drive = FindDrive(root);
  if (drive == nullptr || drive->drive.volume_fails) return false;
  CopyCut(label, label_size, drive->label);
  CopyCut(file_system, file_system_size, drive->file_system);
  *serial = drive->drive.serial;
  return true;
}

bool DriveClusters(const char* root, uint32_t* sectors_per_cluster, uint32_t* bytes_per_sector,
                   uint32_t* free_clusters, uint32_t* total_clusters) {
  DriveState* drive = FindDrive(root);
  if (drive == nullptr || drive->drive.volume_fails) return false;
  *sectors_per_cluster = drive->drive.sectors_per_cluster;
  *bytes_per_sector = drive->drive.bytes_per_sector;
  *free_clusters = drive->drive.free_clusters;
  if (drive->drive.room != 0) {
    uint64_t left = drive->drive.room > drive->written ? drive->drive.room - drive->written : 0;
    uint64_t fit = left / ClusterBytes(*drive);
    if (fit < *free_clusters) *free_clusters = static_cast<uint32_t>(fit);
  }
  *total_clusters = drive->drive.total_clusters;
  return true;
}

bool DriveBytes(const char* root, uint64_t* free_bytes, uint64_t* total_bytes) {
  DriveState* drive = FindDrive(root);
  if (drive == nullptr || drive->drive.volume_fails || !drive->drive.has_bytes) return false;
  *free_bytes = drive->drive.free_bytes;
  *total_bytes = drive->drive.total_bytes;
  return true;
}

// A pattern without wildcards: the entry it names, as FindFirstFileA lists it.
static DirListing* ListOne(const std::string& path, DirEntry* entry, uint32_t* error) {
  std::string host;
  struct stat info;
  size_t slash = path.rfind('\\');
  if (slash == std::string::npos || slash + 1 == path.size() || !HostPath(path.c_str(), &host) ||
      stat(host.c_str(), &info) != 0) {
    *error = kErrorFileNotFound;
    return nullptr;
  }
  DirEntry found;
  CopyCut(found.name, sizeof found.name, path.substr(slash + 1));
  found.directory = S_ISDIR(info.st_mode);
  found.attributes = AttributesOf(host) | (found.directory ? kAttrDirectory : 0);
  *entry = found;
  return new DirListing{{found}, 1};
}

DirListing* DirFirst(const char* pattern, DirEntry* entry, uint32_t* error) {
  // "<directory>\*.*" lists a directory; a path without wildcards names one entry.
  std::string directory(pattern);
  if (directory.find_first_of("*?") == std::string::npos) return ListOne(directory, entry, error);
  size_t star = directory.rfind("\\*.*");
  std::string host;
  if (star == std::string::npos || star + 4 != directory.size()) {
    *error = kErrorPathNotFound;
    return nullptr;
  }
  directory.erase(star);
  if (!HostPath(directory.c_str(), &host)) {
    *error = kErrorPathNotFound;
    return nullptr;
  }
  DIR* dir = opendir(host.empty() ? "." : host.c_str());
  if (dir == nullptr) {
    *error = errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound : kErrorAccessDenied;
    return nullptr;
  }
  DirListing* listing = new DirListing{{}, 0};
  while (dirent* item = readdir(dir)) {
    std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (stat((host + "/" + name).c_str(), &info) != 0) continue;
    DirEntry found;
    CopyCut(found.name, sizeof found.name, name);
    found.directory = S_ISDIR(info.st_mode);
    found.attributes = AttributesOf(host + "/" + name) | (found.directory ? kAttrDirectory : 0);
    listing->entries.push_back(found);
  }
  closedir(dir);
  std::sort(listing->entries.begin(), listing->entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return std::strcmp(a.name, b.name) < 0; });
  if (directory.size() > 2) {  // not a root: the system lists "." and ".." first
    DirEntry dot = {".", true, kAttrDirectory}, dot_dot = {"..", true, kAttrDirectory};
    listing->entries.insert(listing->entries.begin(), {dot, dot_dot});
  }
  if (listing->entries.empty()) {
    delete listing;
    *error = kErrorFileNotFound;
    return nullptr;
  }
  *entry = listing->entries[0];
  listing->next = 1;
  return listing;
}

bool DirNext(DirListing* listing, DirEntry* entry) {
  if (listing->next >= listing->entries.size()) return false;
  *entry = listing->entries[listing->next++];
  return true;
}

void DirClose(DirListing* listing) { delete listing; }

uint32_t FileCopyNew(const char* from, const char* to) {
  std::string source, target;
  DriveState* target_drive = nullptr;
  if (!HostPath(from, &source)) return kErrorPathNotFound;
  if (!HostPath(to, &target, &target_drive)) return kErrorPathNotFound;
  struct stat info;
  if (stat(source.c_str(), &info) != 0) return kErrorFileNotFound;
  if (held.count(source) != 0) return kErrorSharingViolation;
  if (stat(target.c_str(), &info) == 0 || errno != ENOENT) return kErrorFileExists;
  if (ParentReadOnly(target)) return kErrorAccessDenied;
  std::FILE* in = std::fopen(source.c_str(), "rb");
  if (in == nullptr) return kErrorAccessDenied;
  std::vector<char> bytes;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  std::fclose(in);
  uint64_t room = target_drive->drive.room;
  if (room != 0 && target_drive->written + bytes.size() > room) return kErrorDiskFull;
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) return kErrorPathNotFound;
  bool done = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  done = std::fclose(out) == 0 && done;
  if (!done) {
    std::remove(target.c_str());
    return kErrorDiskFull;
  }
  target_drive->written += bytes.size();
  uint32_t bits = AttributesOf(source);
  if (bits != 0) attributes[target] = bits;
  return 0;
}

uint32_t DirCreate(const char* path) {
  ++creates[path];
  std::string host;
  DriveState* drive = nullptr;
  if (!HostPath(path, &host, &drive)) return kErrorPathNotFound;
  struct stat info;
  if (stat(host.c_str(), &info) == 0) return kErrorAlreadyExists;
  if (ParentReadOnly(host)) return kErrorAccessDenied;
  uint64_t cluster = ClusterBytes(*drive);
  if (drive->drive.room != 0 && drive->written + cluster > drive->drive.room)
    return drive->drive.full_dir_error != 0 ? drive->drive.full_dir_error : kErrorDiskFull;
  if (mkdir(host.c_str(), 0777) != 0)
    return errno == ENOENT ? kErrorPathNotFound : kErrorAccessDenied;
  if (drive->drive.room != 0) drive->written += cluster;
  return 0;
}

bool DirSetAttributes(const char* path, uint32_t bits) {
  std::string host;
  struct stat info;
  if (!HostPath(path, &host) || stat(host.c_str(), &info) != 0) return false;
  attributes[host] = bits & ~kAttrDirectory;
  return true;
}

void NativeDriveAdd(const NativeDrive& drive) {
  DriveState& state = drives[Upper(drive.letter)];
  state.drive = drive;
  state.drive.letter = Upper(drive.letter);
  state.folder = drive.folder != nullptr ? drive.folder : "";
  state.label = drive.label != nullptr ? drive.label : "";
  state.file_system = drive.file_system != nullptr ? drive.file_system : "";
  state.drive.folder = state.drive.label = state.drive.file_system = nullptr;
  state.written = 0;
}

void NativeDrivesClear() {
  drives.clear();
  held.clear();
  creates.clear();
  attributes.clear();
  system_version = kWindows98;
}

void NativeSetSystemVersion(const SystemVersion& version) { system_version = version; }

void NativeHoldFile(const char* path) {
  std::string host;
  if (HostPath(path, &host)) held.insert(host);
}

int32_t NativeDirCreateCount(const char* path) {
  auto found = creates.find(path);
  return found == creates.end() ? 0 : found->second;
}

void NativeSetAttributes(const char* path, uint32_t bits) {
  std::string host;
  if (HostPath(path, &host)) attributes[host] = bits & ~kAttrDirectory;
}

uint32_t NativeAttributes(const char* path) {
  std::string host;
  return HostPath(path, &host) ? AttributesOf(host) : 0;
}

bool NativeHostPath(const char* path, std::string* host) { return HostPath(path, host); }
