// The surface check of a new file system's data area: every cluster is read once, and the
// clusters that cannot be read are listed for the FAT writers to mark bad.
#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/system_area.h"

// One cluster of up to 64 sectors; sixteen of them for a FAT32 batch.
static uint8_t cluster_buffer[32768];
static uint8_t batch_buffer[524288];

static const uint32_t kBatchClusters = 16;

// Lists a bad cluster; true when the list has become full, which ends the check.
static bool ListBadCluster(uint32_t cluster) {
  BadClusterList.cluster[BadClusterList.count++] = cluster;
  return BadClusterList.count == kMaxBadClusters;
}

// The bar counts units of 1,024 sectors of the data area.
static void StartDataCheck(uint32_t first_data, uint32_t end) {
  ProgressPhase(kStatusDataCheck, end > first_data ? (end - first_data) / 1024 : 0);
}

int32_t CheckDataArea16(int32_t adapter, const uint8_t boot_sector[512], uint32_t first_data,
                        uint32_t end) {
  uint32_t cluster_size = boot_sector[kBpbSecPerClus];
  BadClusterList.count = 0;
  StartDataCheck(first_data, end);
  uint32_t cluster = 2;
  // The last cluster is read whole even where it runs past the end of the partition.
  for (uint64_t s = first_data; s < end; s += cluster_size, ++cluster) {
    uint32_t sector = static_cast<uint32_t>(s);
    if (ReadSectors(adapter, 0, sector, kSectorSize, cluster_size, cluster_buffer) != 0 &&
        ListBadCluster(cluster))
      return kErrTooManyBadSectors;
    ProgressAdvance((sector - first_data) / 1024);
  }
  ProgressPhaseDone();
  return 0;
}

int32_t CheckDataArea32(int32_t adapter, const uint8_t boot_sector[512], uint32_t first_data,
                        uint32_t end) {
  uint32_t cluster_size = boot_sector[kBpbSecPerClus];
  uint32_t batch = kBatchClusters * cluster_size;
  BadClusterList.count = 0;
  StartDataCheck(first_data, end);
  uint32_t cluster = 2;  // the batch's first cluster
  for (uint64_t s = first_data; s < end; s += batch, cluster += kBatchClusters) {
    if (AbortRequested()) return kEngineStopped;
    uint32_t sector = static_cast<uint32_t>(s);
    // The last batch takes whole clusters only, possibly none.
    uint32_t count = batch;
    if (s + count >= end) count = (end - sector) / cluster_size * cluster_size;
    if (ReadSectors(adapter, 0, sector, kSectorSize, count, batch_buffer) != 0) {
      // Only a failed batch is read again, cluster by cluster, to find the bad ones.
      for (uint32_t k = 0; k < count / cluster_size; ++k) {
        if (AbortRequested()) return kEngineStopped;
        if (ReadSectors(adapter, 0, sector + k * cluster_size, kSectorSize, cluster_size,
                        batch_buffer) != 0 &&
            ListBadCluster(cluster + k))
          return kErrTooManyBadSectors;
      }
    }
    ProgressAdvance((sector - first_data) / 1024);
  }
  ProgressPhaseDone();
  return 0;
}
