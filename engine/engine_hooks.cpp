#include "engine/engine_hooks.h"

#include "aspi/aspi.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"

Event* AbortEvent = nullptr;
Event* WorkerGate = nullptr;

void WorkerHoldPoint() {
  if (WorkerGate != nullptr) EventWait(WorkerGate, kWaitForever);
}

bool AbortRequested() {
  WorkerHoldPoint();
  return AbortEvent != nullptr && EventWait(AbortEvent, 0) != 0;
}

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
