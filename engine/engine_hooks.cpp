#include "engine/engine_hooks.h"

Event* AbortEvent = nullptr;
Event* WorkerGate = nullptr;

void WorkerHoldPoint() {
  if (WorkerGate != nullptr) EventWait(WorkerGate, kWaitForever);
}

bool AbortRequested() {
  WorkerHoldPoint();
  return AbortEvent != nullptr && EventWait(AbortEvent, 0) != 0;
}
