// Where a new file system's areas lie, and the order in which its system area is prepared.
#include "engine/errors.h"
#include "engine/system_area.h"
#include "fat/boot_sector.h"
#include "platform/byte_order.h"

BadClusters BadClusterList = {{}, 0};
int32_t ChkDataArea = 1;

const char kStatusDataCheck[] = "転送先データ領域クラスタチェック中";
const char kStatusFatCheck[] = "転送先FAT領域クラスタチェック中";
const char kStatusFatInit[] = "転送先FAT領域初期化中";
const char kStatusRootCheck[] = "転送先ﾙｰﾄﾃﾞｨﾚｸﾄﾘ領域クラスタチェック中";
const char kStatusRootInit[] = "転送先ﾙｰﾄﾃﾞｨﾚｸﾄﾘ領域初期化中";
const char kStatusFileSystemInit[] = "転送先ﾌｧｲﾙｼｽﾃﾑ領域初期化中";

FatAreas Fat16Areas(const PartitionInfo& partition, const uint8_t boot_sector[512]) {
  uint32_t start = PartitionFirstSector(partition);
  FatAreas a;
  a.first_fat = start + GetLe16(boot_sector + kBpbRsvdSecCnt);
  a.fat_length = boot_sector[kBpbNumFats] * uint32_t{GetLe16(boot_sector + kBpbFatSz16)};
  a.root_dir = a.first_fat + a.fat_length;
  a.root_dir_length = GetLe16(boot_sector + kBpbRootEntCnt) * 32u / 512u;
  a.first_data = a.root_dir + a.root_dir_length;
  a.end = start + GetLe32(boot_sector + kBpbTotSec32);
  return a;
}

FatAreas Fat32Areas(const PartitionInfo& partition, const uint8_t boot_sector[512]) {
  uint32_t start = PartitionFirstSector(partition);
  FatAreas a;
  a.first_fat = start + GetLe16(boot_sector + kBpbRsvdSecCnt);
  a.fat_length = boot_sector[kBpbNumFats] * GetLe32(boot_sector + kBpbFatSz32);
  a.first_data = a.first_fat + a.fat_length;
  a.root_dir = a.first_data;
  a.root_dir_length = boot_sector[kBpbSecPerClus];
  a.end = start + GetLe32(boot_sector + kBpbTotSec32);
  return a;
}

int32_t InitSystemArea16(int32_t adapter, const PartitionInfo& partition,
                         const uint8_t boot_sector[512]) {
  // Marks are only ever those of this card's own check.
  BadClusterList.count = 0;
  FatAreas areas = Fat16Areas(partition, boot_sector);
  int32_t result;
  if (ChkDataArea == 1) {
    result = CheckDataArea16(adapter, boot_sector, areas.first_data, areas.end);
    if (result != 0) return result;
  }
  result = InitFatArea16(adapter, areas, boot_sector);
  if (result != 0) return result;
  return InitRootDirArea(adapter, areas, boot_sector);
}

int32_t InitSystemArea32(int32_t adapter, const PartitionInfo& partition,
                         const uint8_t boot_sector[512]) {
  BadClusterList.count = 0;
  FatAreas areas = Fat32Areas(partition, boot_sector);
  if (ChkDataArea == 1) {
    int32_t result = CheckDataArea32(adapter, boot_sector, areas.first_data, areas.end);
    if (result != 0) return result;
    // The root directory lives in its fixed first cluster; marking that cluster bad would end
    // the root's chain at a bad cluster and leave a broken volume.
    uint32_t root_cluster = GetLe32(boot_sector + kBpbRootClus);
    if (BadClusterList.count > 0 && BadClusterList.cluster[0] == root_cluster)
      return kErrRootDirArea;
  }
  return InitFatArea32(adapter, areas, boot_sector);
}
