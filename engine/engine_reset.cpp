#include "engine/engine_reset.h"

#include "engine/aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "engine/fat_area.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/vol_serial.h"

void ResetEngine() {
  ResetTargetIdentity();
  ChkDataArea = 1;
  Fat32Enabled = 0;
  DiskGeometry = Geometry{};
  NewPartition = PartitionInfo{};
  NewVolSerial = 0;
  BadClusterList.count = 0;
  PartitionList.count = 0;
  AbortEvent = nullptr;
  EngineProgressBar = nullptr;
  EngineStatusText = nullptr;
}
