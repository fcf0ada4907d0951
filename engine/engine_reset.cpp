#include "engine/engine_reset.h"

#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"

void ResetEngine() {
  ChkDataArea = 1;
  Fat32Enabled = 0;
  DiskGeometry = Geometry{};
  NewPartition = PartitionInfo{};
  NewVolSerial = 0;
  BadClusterList.count = 0;
  PartitionList.count = 0;
  AbortEvent = nullptr;
  RegisteredReport = nullptr;
}
