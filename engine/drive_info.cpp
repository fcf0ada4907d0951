// The copy dialog's drive information, the free-space check and the search of the card's drive.
#include "engine/drive_info.h"

#include "engine/file_copy.h"
#include "engine/partition.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/window.h"

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

// Where one group box of the copy dialog shows its figures.
struct DriveBox {
  int32_t type_text, volume_text, space_text;
  const char* volume_format;  // label, serial, file system
};
const DriveBox kSourceBox = {kSourceTypeText, kSourceVolumeText, kSourceSpaceText, "%s\n%08X\n%s"};
const DriveBox kTargetBox = {kTargetTypeText, kTargetVolumeText, kTargetSpaceText, "%s\n%X\n%s"};

void Show(void* dialog, int32_t id, const char* text) {
  if (dialog != nullptr) SetDialogText(dialog, id, text);
}

// The space figures. Without FAT32 the system is Windows 95 before OSR2, whose drives stay
// under 2 GiB: the cluster products as the system's 32-bit figures give them. Otherwise the
// 64-bit byte counts as whole numbers.
void ShowSpace(void* dialog, int32_t id, const DriveInfo& info) {
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
  Show(dialog, id, text);
}

// Reads the drive into `info` and shows it: 0, 201 or 203.
int32_t ReadDrive(void* dialog, const char* root, const DriveBox& box, DriveInfo* record) {
  DriveInfo info = DriveInfo();
  TextCopy(info.root, sizeof info.root, root);
  info.type = DriveType(root);
  if (info.type != kDriveFixed) return kErrSystemDriveNotFixed;
  Show(dialog, box.type_text, DriveTypeName(info.type));
  if (box.type_text == kSourceTypeText) {
    char os[sizeof OsName + sizeof OsVersionText + 2];
    TextFormat(os, sizeof os, "%s\n%s", OsName, OsVersionText);
    Show(dialog, kSourceOsText, os);
  } else {
    Show(dialog, kTargetRootText, root);
  }
  if (!DriveVolume(root, info.label, sizeof info.label, &info.serial, info.file_system,
                   sizeof info.file_system))
    return kErrNoVolumeInfo;
  char volume[sizeof info.label + sizeof info.file_system + 16];
  TextFormat(volume, sizeof volume, box.volume_format, info.label,
             static_cast<unsigned>(info.serial), info.file_system);
  Show(dialog, box.volume_text, volume);
  if (!DriveClusters(root, &info.sectors_per_cluster, &info.bytes_per_sector, &info.free_clusters,
                     &info.total_clusters))
    return kErrNoVolumeInfo;
  if (!DriveBytes(root, &info.free_bytes, &info.total_bytes)) {
    uint64_t cluster = static_cast<uint64_t>(info.sectors_per_cluster) * info.bytes_per_sector;
    info.free_bytes = info.free_clusters * cluster;
    info.total_bytes = info.total_clusters * cluster;
  }
  ShowSpace(dialog, box.space_text, info);
  *record = info;
  return 0;
}

}  // namespace

int32_t ShowSourceDriveInfo(void* dialog, const char* root) {
  return ReadDrive(dialog, root, kSourceBox, &SourceDriveInfo);
}

int32_t ShowTargetDriveInfo(void* dialog, const char* root) {
  return ReadDrive(dialog, root, kTargetBox, &TargetDriveInfo);
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
