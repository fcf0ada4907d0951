#include "engine/engine_hooks.h"

#include "aspi/aspi.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "platform/window.h"

Event* AbortEvent = nullptr;
Event* WorkerGate = nullptr;
void* EngineProgressBar = nullptr;
void* EngineStatusText = nullptr;

// What the bar of the current phase shows, so that unchanged positions are not sent again.
static uint32_t phase_length = 0;
static uint32_t last_position = 0;

void WorkerHoldPoint() {
  if (WorkerGate != nullptr) EventWait(WorkerGate, kWaitForever);
}

bool AbortRequested() {
  WorkerHoldPoint();
  return AbortEvent != nullptr && EventWait(AbortEvent, 0) != 0;
}

void ProgressSetRange(uint32_t maximum) {
  if (EngineProgressBar == nullptr) return;
  // MAKELPARAM(0, maximum): the low word is the minimum, the high word the maximum.
  intptr_t range = static_cast<intptr_t>((maximum & 0xFFFFu) << 16);
  SendControlMessage(EngineProgressBar, kPbmSetRange, 0, range);
}

void ProgressSetPos(uint32_t position) {
  WorkerHoldPoint();
  if (EngineProgressBar != nullptr)
    SendControlMessage(EngineProgressBar, kPbmSetPos, position, 0);
}

void ProgressSetStep(uint32_t step) {
  if (EngineProgressBar != nullptr) SendControlMessage(EngineProgressBar, kPbmSetStep, step, 0);
}

void ProgressStepIt() {
  if (EngineProgressBar != nullptr) SendControlMessage(EngineProgressBar, kPbmStepIt, 0, 0);
}

void StatusSetText(const char* text) {
  WorkerHoldPoint();
  if (EngineStatusText != nullptr)
    SendControlMessage(EngineStatusText, kWmSetText, 0, reinterpret_cast<intptr_t>(text));
}

void ProgressPhase(const char* status, uint32_t length) {
  StatusSetText(status);
  ProgressSetPos(0);
  ProgressSetRange(length);
  phase_length = length;
  last_position = 0;
}

void ProgressAdvance(uint32_t position) {
  if (position == last_position) return;
  last_position = position;
  ProgressSetPos(position);
}

void ProgressPhaseDone() {
  last_position = phase_length;
  ProgressSetPos(phase_length);
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
  EngineProgressBar = nullptr;
  EngineStatusText = nullptr;
}
