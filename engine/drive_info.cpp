// The drive figures, the free-space check and the search of the card's drive.
#include "engine/drive_info.h"

#include "engine/engine_report.h"
#include "engine/file_copy.h"
#include "engine/partition.h"
#include "platform/files.h"
#include "platform/text.h"

DriveInfo SourceDriveInfo;
DriveInfo TargetDriveInfo;

const char* DriveTypeName(uint32_t type) {
  switch (type) {
    case kDriveUnknown:
    case kDriveNoRootDir:
      return "エラー";
    case kDriveRemovable:
      return "ﾙﾑｰﾊﾞﾌﾞﾙ";
    case kDriveFixed:
      return "固定ﾄﾞﾗｲﾌﾞ";
    case kDriveRemote:
      return "ﾈｯﾄﾜｰｸﾄﾞﾗｲﾌﾞ";
    case kDriveCdrom:
      return "CD-ROM";
    case kDriveRamDisk:
      return "RAM DISK";
    default:
      return "Unknown";
  }
}

namespace {

// The figures of one drive, the source's or the target's.
struct DriveFigureSet {
  DriveFigure type, volume, space;
  const char* volume_format;  // label, serial, file system
};
const DriveFigureSet kSourceFigures = {kFigureSourceType, kFigureSourceVolume, kFigureSourceSpace,
                                     "%s\n%08X\n%s"};
const DriveFigureSet kTargetFigures = {kFigureTargetType, kFigureTargetVolume, kFigureTargetSpace,
                                     "%s\n%X\n%s"};

// The space figures. Without FAT32 the system is Windows 95 before OSR2, whose drives stay
// under 2 GiB: the cluster products as the system's 32-bit figures give them. Otherwise the
// 64-bit byte counts as whole numbers.
void ReportSpace(DriveFigure figure, const DriveInfo& info) {
  char text[128];
  if (Fat32Enabled == 0) {
    uint32_t cluster = info.sectors_per_cluster * info.bytes_per_sector;
    TextFormat(text, sizeof text, "%u\n%u\n%u\n%u", static_cast<unsigned>(info.sectors_per_cluster),
               static_cast<unsigned>(info.bytes_per_sector),
               static_cast<unsigned>(info.free_clusters * cluster),
               static_cast<unsigned>(info.total_clusters * cluster));
  } else {
    TextFormat(text, sizeof text, "%u\n%u\n%10.0f\n%10.0f",
               static_cast<unsigned>(info.sectors_per_cluster),
               static_cast<unsigned>(info.bytes_per_sector), static_cast<double>(info.free_bytes),
               static_cast<double>(info.total_bytes));
  }
  ReportDriveFigure(figure, text);
}

// Reads the drive into `info` and reports it: 0, 201 or 203.
int32_t ReadDrive(const char* root, const DriveFigureSet& figures, DriveInfo* record) {
  DriveInfo info = DriveInfo();
  TextCopy(info.root, sizeof info.root, root);
  info.type = DriveType(root);
  if (info.type != kDriveFixed) return kErrSystemDriveNotFixed;
  ReportDriveFigure(figures.type, DriveTypeName(info.type));
  if (figures.type == kFigureSourceType) {
    char os[sizeof OsName + sizeof OsVersionText + 2];
    TextFormat(os, sizeof os, "%s\n%s", OsName, OsVersionText);
    ReportDriveFigure(kFigureOs, os);
  } else {
    ReportDriveFigure(kFigureTargetRoot, root);
  }
  if (!DriveVolume(root, info.label, sizeof info.label, &info.serial, info.file_system,
                   sizeof info.file_system))
    return kErrNoVolumeInfo;
  char volume[sizeof info.label + sizeof info.file_system + 16];
  TextFormat(volume, sizeof volume, figures.volume_format, info.label,
             static_cast<unsigned>(info.serial), info.file_system);
  ReportDriveFigure(figures.volume, volume);
  if (!DriveClusters(root, &info.sectors_per_cluster, &info.bytes_per_sector, &info.free_clusters,
                     &info.total_clusters))
    return kErrNoVolumeInfo;
  if (!DriveBytes(root, &info.free_bytes, &info.total_bytes)) {
    uint64_t cluster = static_cast<uint64_t>(info.sectors_per_cluster) * info.bytes_per_sector;
    info.free_bytes = info.free_clusters * cluster;
    info.total_bytes = info.total_clusters * cluster;
  }
  ReportSpace(figures.space, info);
  *record = info;
  return 0;
}

}  // namespace

int32_t ShowSourceDriveInfo(const char* root) {
  return ReadDrive(root, kSourceFigures, &SourceDriveInfo);
}

int32_t ShowTargetDriveInfo(const char* root) {
  return ReadDrive(root, kTargetFigures, &TargetDriveInfo);
}

// In 64 bits: a source over 4 GiB no longer wraps into a small number that a small card would
// pass, and with GetDiskFreeSpaceExA the figures are not capped near 2 GiB.
int32_t CheckFreeSpace() {
  uint64_t free = TargetDriveInfo.free_bytes;
  uint64_t used = SourceDriveInfo.total_bytes > SourceDriveInfo.free_bytes
                      ? SourceDriveInfo.total_bytes - SourceDriveInfo.free_bytes
                      : 0;
  return free > used ? 0 : kErrTargetTooSmall;
}

int32_t FindDriveBySerial(uint32_t serial) {
  uint32_t mask = LogicalDrives();
  for (int i = 0; i < 26 && mask != 0; ++i, mask >>= 1) {
    if (i < 2 || (mask & 1) == 0) continue;  // A: and B: are never the card
    char root[4] = {static_cast<char>('A' + i), ':', '\\', '\0'};
    if (DriveType(root) != kDriveFixed) continue;
    char label[200], file_system[50];
    uint32_t found = 0;
    if (!DriveVolume(root, label, sizeof label, &found, file_system, sizeof file_system)) continue;
    if (found == serial) {
      TextCopy(TargetRoot, sizeof TargetRoot, root);
      return 1;
    }
  }
  return 0;
}
