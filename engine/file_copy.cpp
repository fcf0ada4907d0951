// The copy of a drive's directories and files onto the card's drive.
//
// Paths are built in 256-byte buffers from the directory being copied and each entry's name; a
// path that does not fit is never cut (a cut path would name another file): its entry is left
// out and recorded like any other file the system refuses to copy.
//
// The lines of what is left out are kept in memory and written to the dated log once the copy has
// ended: the log's directory usually lies on the drive being copied, and a log written while the
// copy runs would be copied half-written, or not at all, depending on where the system lists it.
#include "engine/file_copy.h"

#include <cstdlib>
#include <cstring>

#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

char SourceRoot[8] = "";
char TargetRoot[12] = "";
int32_t CopyLeftOutCount = 0;
char CopyLeftOutLog[288] = "";

namespace {

const size_t kPathSize = 256;

// The attributes a copied directory takes over from its source.
const uint32_t kCopiedAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

// The log lines of the copy under way. When memory runs out a line is dropped; the count and
// the line "..." at the end still say that more was left out.
struct LeftOutLines {
  char* text;
  size_t length, capacity;
  bool dropped;
};
LeftOutLines left_out = {nullptr, 0, 0, false};

void KeepLine(const char* line) {
  size_t length = std::strlen(line);
  if (left_out.length + length + 1 > left_out.capacity) {
    size_t capacity = left_out.capacity == 0 ? 4096 : left_out.capacity * 2;
    while (capacity < left_out.length + length + 1) capacity *= 2;
    char* grown = static_cast<char*>(std::realloc(left_out.text, capacity));
    if (grown == nullptr) {
      left_out.dropped = true;
      return;
    }
    left_out.text = grown;
    left_out.capacity = capacity;
  }
  std::memcpy(left_out.text + left_out.length, line, length + 1);
  left_out.length += length;
}

void ForgetLines() {
  std::free(left_out.text);
  left_out = {nullptr, 0, 0, false};
}

// Writes the kept lines to the dated log of today, making every level of its directory, and
// names the log in CopyLeftOutLog (empty when nothing was left out or it could not be written).
void WriteLeftOutLog(const char* log_dir) {
  CopyLeftOutLog[0] = '\0';
  if (left_out.length == 0 && !left_out.dropped) return;
  if (left_out.dropped) KeepLine("...\n");
  ClockTime now;
  ClockLocalTime(&now);
  AppendToDatedFileMakingPath(log_dir, now, ".log", left_out.text != nullptr ? left_out.text : "",
                              CopyLeftOutLog, sizeof CopyLeftOutLog);
  ForgetLines();
}

bool IsRoot(const char* dir) {
  return dir[0] != '\0' && dir[1] == ':' && dir[2] == '\\' && dir[3] == '\0';
}

// dir + "\" + name, or dir + name when dir is a root ("E:\"); false when it does not fit.
bool JoinPath(char (&out)[kPathSize], const char* dir, const char* name) {
  const char* separator = IsRoot(dir) ? "" : "\\";
  size_t length = std::strlen(dir) + std::strlen(separator) + std::strlen(name);
  if (length >= kPathSize) return false;
  std::strcpy(out, dir);
  std::strcat(out, separator);
  std::strcat(out, name);
  return true;
}

// Counts a file or directory the copy leaves out and keeps its line, with the system's error
// number, for the dated log.
void RecordLeftOut(const char* dir, const char* name, uint32_t error) {
  ++CopyLeftOutCount;
  ClockTime now;
  ClockLocalTime(&now);
  const char* separator = name[0] == '\0' || IsRoot(dir) ? "" : "\\";
  char line[kPathSize * 2 + 128];
  TextFormat(line, sizeof line,
             "%04d年%02d月%02d日 %02d時%02d分%02d秒 コピーできませんでした(エラー %u) %s%s%s\n",
             now.year, now.month, now.day, now.hour, now.minute, now.second,
             static_cast<unsigned>(error), dir, separator, name);
  KeepLine(line);
}

bool TargetIsFull(uint32_t error) {
  return error == kErrorDiskFull || error == kErrorHandleDiskFull;
}

// Whether the drive of `path` ("E:\...") has no free cluster left.
bool DriveHasNoRoom(const char* path) {
  char root[4] = {path[0], ':', '\\', '\0'};
  uint32_t sectors_per_cluster, bytes_per_sector, free_clusters, total_clusters;
  return DriveClusters(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters,
                       &total_clusters) &&
         free_clusters == 0;
}

// Makes the directory a copied one lands in: 0, or 105 when the target is full. Windows 95/98
// answer a full drive with "access denied", so any refusal on a drive with no free cluster is
// taken as full. A directory refused otherwise is not recorded itself: each of its files is,
// when its copy fails for want of the directory.
int32_t MakeTargetDirectory(const char* source_dir, const char* target_dir) {
  uint32_t error = DirCreate(target_dir);
  if (error == 0 || error == kErrorAlreadyExists) return 0;
  if (!TargetIsFull(error) && !DriveHasNoRoom(target_dir)) return 0;
  RecordLeftOut(source_dir, "", error);
  return kErrTargetFull;
}

// Lists `dir`; nullptr (and the directory recorded, unless it is merely empty) when it cannot be.
DirListing* ListDirectory(const char* dir, DirEntry* entry, bool record) {
  char pattern[kPathSize];
  if (!JoinPath(pattern, dir, "*.*")) {
    if (record) RecordLeftOut(dir, "", kErrorFilenameTooLong);
    return nullptr;
  }
  uint32_t error = 0;
  DirListing* listing = DirFirst(pattern, entry, &error);
  if (listing == nullptr && record && error != kErrorFileNotFound) RecordLeftOut(dir, "", error);
  return listing;
}

// The files of one directory: 0, -9 or 105.
int32_t CopyFiles(const char* source_dir, const char* target_dir) {
  DirEntry entry;
  DirListing* listing = ListDirectory(source_dir, &entry, true);
  if (listing == nullptr) return 0;
  int32_t result = 0;
  do {
    if (AbortRequested()) {
      result = kEngineStopped;
      break;
    }
    if (entry.directory) continue;
    char from[kPathSize], to[kPathSize];
    if (!JoinPath(from, source_dir, entry.name) || !JoinPath(to, target_dir, entry.name)) {
      RecordLeftOut(source_dir, entry.name, kErrorFilenameTooLong);
      continue;
    }
    ReportCopyNames(entry.name, to);
    uint32_t error = FileCopyNew(from, to);
    if (error == 0) continue;
    RecordLeftOut(source_dir, entry.name, error);
    if (TargetIsFull(error)) {
      result = kErrTargetFull;
      break;
    }
  } while (DirNext(listing, &entry));
  DirClose(listing);
  return result;
}

// The subdirectories of one directory, each copied whole: 0, -9 or 105.
int32_t CopyDirectories(const char* source_dir, const char* target_dir) {
  DirEntry entry;
  DirListing* listing = ListDirectory(source_dir, &entry, false);
  if (listing == nullptr) return 0;
  int32_t result = 0;
  do {
    if (AbortRequested()) {
      result = kEngineStopped;
      break;
    }
    // "." and "..", and every directory whose name begins with a dot, are passed over.
    if (!entry.directory || entry.name[0] == '.') continue;
    char from[kPathSize], to[kPathSize];
    // Room for the "\*.*" that lists it, so a directory that fits is also read.
    if (!JoinPath(from, source_dir, entry.name) || !JoinPath(to, target_dir, entry.name) ||
        std::strlen(from) + 4 >= kPathSize) {
      RecordLeftOut(source_dir, entry.name, kErrorFilenameTooLong);
      continue;
    }
    result = CopyTree(from, to, entry.attributes);
  } while (result == 0 && DirNext(listing, &entry));
  DirClose(listing);
  return result;
}

}  // namespace

int32_t CopyTree(const char* source_dir, const char* target_dir, uint32_t attributes) {
  // The target root is the card's own root directory, never made.
  bool root = IsRoot(target_dir);
  int32_t result = root ? 0 : MakeTargetDirectory(source_dir, target_dir);
  if (result != 0) return result;
  result = CopyFiles(source_dir, target_dir);
  if (result == 0) result = CopyDirectories(source_dir, target_dir);
  // Only now: a read-only directory could refuse its own contents.
  if (!root && (attributes & kCopiedAttributes) != 0)
    DirSetAttributes(target_dir, attributes & kCopiedAttributes);
  return result;
}

int32_t CopyAllFiles(const char* source_root, const char* target_root, const char* log_dir) {
  CopyLeftOutCount = 0;
  ForgetLines();
  // The source as "X:\" or "X:\dir" (no trailing backslash); the target is the same path on the
  // target's drive.
  char source[kPathSize], target[kPathSize];
  size_t length = std::strlen(source_root);
  bool drive_form = length >= 2 && source_root[1] == ':' && (length == 2 || source_root[2] == '\\');
  if (!drive_form || std::strlen(target_root) < 2 || target_root[1] != ':' ||
      length + 1 >= kPathSize) {
    RecordLeftOut(source_root, "", kErrorPathNotFound);
    WriteLeftOutLog(log_dir);
    return 0;
  }
  std::strcpy(source, source_root);
  if (length == 2) std::strcat(source, "\\");
  while (std::strlen(source) > 3 && source[std::strlen(source) - 1] == '\\')
    source[std::strlen(source) - 1] = '\0';
  target[0] = target_root[0];
  target[1] = ':';
  std::strcpy(target + 2, source + 2);
  // A directory as the source brings its attributes to its namesake; a root has none.
  uint32_t attributes = 0;
  if (!IsRoot(source)) {
    DirEntry entry;
    uint32_t error = 0;
    DirListing* listing = DirFirst(source, &entry, &error);
    if (listing != nullptr) {
      attributes = entry.attributes;
      DirClose(listing);
    }
  }
  int32_t result = CopyTree(source, target, attributes);
  WriteLeftOutLog(log_dir);
  if (result == 0) ReportCopyNames("システムドライブデータのコピーが終了しました。", "");
  return result;
}
