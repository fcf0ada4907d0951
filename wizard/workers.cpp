#include "wizard/workers.h"

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/drive_info.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/file_copy.h"
#include "engine/partition.h"
#include "engine/vol_serial.h"
#include "platform/window.h"
#include "services/directories.h"
#include "wizard/adapter_commands.h"
#include "wizard/dialog_texts.h"

Thread* WorkerThread = nullptr;
// Main thread only: set by StartWorker, cleared when the dialog takes the last message.
static bool worker_running = false;

void ReleaseWorker() {
  if (WorkerThread != nullptr) ThreadJoin(WorkerThread);
  WorkerThread = nullptr;
  worker_running = false;
  if (AbortEvent != nullptr) EventDestroy(AbortEvent);
  if (WorkerGate != nullptr) EventDestroy(WorkerGate);
  AbortEvent = nullptr;
  WorkerGate = nullptr;
}

int32_t StartWorker(ThreadFunction fn, void* dialog) {
  ReleaseWorker();
  AbortEvent = EventCreate(true, false);
  WorkerGate = EventCreate(true, true);
  if (AbortEvent != nullptr && WorkerGate != nullptr) WorkerThread = ThreadStart(fn, dialog);
  if (WorkerThread == nullptr) {
    ReleaseWorker();
    return -1;
  }
  worker_running = true;
  return 0;
}

bool WorkerRunning() { return worker_running; }

void WorkerEnded() { worker_running = false; }

void NotifyWorkerDone(void* dialog, int32_t result) {
  SendControlMessage(dialog, kWmCommand, kWorkerDone, result);
}

uint32_t PartitionWorker(void* dialog) {
  StatusSetText(kStatusPartitionInfo);
  BuildPartitionEntry();
  if (AbortRequested()) {
    NotifyWorkerDone(dialog, -9);
    return 1;
  }
  int32_t result = MakePartition(AdapterNumber);
  if (result == -9) {
    NotifyWorkerDone(dialog, -9);
    return 1;
  }
  if (result != 0) ReportEngineError(result);
  NotifyWorkerDone(dialog, result);
  return static_cast<uint32_t>(result);
}

uint32_t CopyWorker(void* dialog) {
  int32_t result = CopyAllFiles(SourceRoot, TargetRoot, LogDir1);
  if (result == -9) {
    NotifyWorkerDone(dialog, -9);
    return 1;
  }
  if (result != 0) {
    ReportEngineError(result);
    NotifyWorkerDone(dialog, result);
    return static_cast<uint32_t>(result);
  }
  NewVolSerial = UseNewVolSerial == 1 ? MakeVolSerial() : SourceDriveInfo.serial;
  result = SetVolSerial(AdapterNumber);
  if (result != 0) {
    ReportEngineError(result);
    NotifyWorkerDone(dialog, result);
    return 1;
  }
  NotifyWorkerDone(dialog, 0);
  return 0;
}
