// The emulator's worker thread: it carries out SCSI requests one after another and signals each
// request's event when it is done, as a host adapter driver does from its completion routine.
// Requests a hang fault holds back wait in a list of their own until they are aborted or released.
//
// Once a request's event is signalled, or its status stops being SS_PENDING, the request belongs
// to its sender again: the worker reads what it needs (the event) before it writes the status.
#include "cardsim/card.h"
#include "platform/threads.h"

const int kMaxWaiting = 64;

static Lock* WorkerLock = nullptr;
static Event* WorkerWake = nullptr;
static Thread* WorkerThread = nullptr;
static bool WorkerStopping = false;
static SRB_ExecSCSICmd* Queue[kMaxWaiting];
static int Queued = 0;
static SRB_ExecSCSICmd* Held[kMaxWaiting];
static int HeldCount = 0;
static SRB_ExecSCSICmd* Current = nullptr;  // the request being carried out

void WorkerInit() {
  WorkerLock = LockCreate();
  WorkerWake = EventCreate(false, false);
  WorkerStopping = false;
  Queued = HeldCount = 0;
  Current = nullptr;
}

// Ends a request that was not carried out as SS_ABORTED and lets its sender know. The status is
// written last but for the signal.
static void EndAborted(SRB_ExecSCSICmd* srb) {
  bool notify = (srb->SRB_Flags & SRB_EVENT_NOTIFY) != 0;
  void* event = srb->SRB_PostProc;
  srb->SRB_HaStat = HASTAT_OK;
  srb->SRB_TargStat = STATUS_GOOD;
  srb->SRB_Status = SS_ABORTED;
  if (notify && event) HostSignalEvent(event);
}

static SRB_ExecSCSICmd* NextRequest() {
  LockEnter(WorkerLock);
  SRB_ExecSCSICmd* srb = nullptr;
  if (Queued > 0) {
    srb = Queue[0];
    for (int i = 1; i < Queued; ++i) Queue[i - 1] = Queue[i];
    --Queued;
  }
  Current = srb;
  LockLeave(WorkerLock);
  return srb;
}

static uint32_t WorkerRun(void*) {
  for (;;) {
    EventWait(WorkerWake, kWaitForever);
    while (SRB_ExecSCSICmd* srb = NextRequest()) {
      bool notify = (srb->SRB_Flags & SRB_EVENT_NOTIFY) != 0;
      void* event = srb->SRB_PostProc;
      ScsiExecute(srb);  // sets SRB_Status last: from here on the request is not ours
      LockEnter(WorkerLock);
      Current = nullptr;
      LockLeave(WorkerLock);
      if (notify && event) HostSignalEvent(event);
    }
    LockEnter(WorkerLock);
    bool stopping = WorkerStopping;
    LockLeave(WorkerLock);
    if (stopping) return 0;
  }
}

// The thread starts with the first request it is given and runs until WorkerStop.
static void StartWorkerLocked() {
  if (WorkerThread != nullptr) return;
  HostKeepLoaded();
  WorkerThread = ThreadStart(WorkerRun, nullptr);
}

bool WorkerSubmit(SRB_ExecSCSICmd* srb, bool hold) {
  LockEnter(WorkerLock);
  bool accepted = false;
  if (hold && HeldCount < kMaxWaiting) {
    srb->SRB_Status = SS_PENDING;
    Held[HeldCount++] = srb;
    accepted = true;
  } else if (!hold && Queued < kMaxWaiting) {
    srb->SRB_Status = SS_PENDING;
    Queue[Queued++] = srb;
    accepted = true;
  }
  if (accepted && !hold) StartWorkerLocked();
  LockLeave(WorkerLock);
  if (accepted && !hold) EventSet(WorkerWake);
  return accepted;
}

static bool Remove(SRB_ExecSCSICmd** list, int* count, void* srb) {
  for (int i = 0; i < *count; ++i) {
    if (list[i] != srb) continue;
    for (int j = i + 1; j < *count; ++j) list[j - 1] = list[j];
    --*count;
    return true;
  }
  return false;
}

// A request that is waiting or held back ends as SS_ABORTED, its event signalled, before the
// abort is answered. One being carried out cannot be stopped. One that is not known has finished
// already: there is nothing left to abort.
uint8_t WorkerAbort(void* srb) {
  LockEnter(WorkerLock);
  if (Card.config.abort_fails || srb == Current) {
    LockLeave(WorkerLock);
    return SS_ABORT_FAIL;
  }
  bool found = Remove(Held, &HeldCount, srb) || Remove(Queue, &Queued, srb);
  LockLeave(WorkerLock);
  if (found) EndAborted(static_cast<SRB_ExecSCSICmd*>(srb));
  return SS_COMP;
}

int32_t WorkerHeld() {
  LockEnter(WorkerLock);
  int32_t count = HeldCount;
  LockLeave(WorkerLock);
  return count;
}

void WorkerReleaseHeld() {
  LockEnter(WorkerLock);
  bool moved = false;
  while (HeldCount > 0 && Queued < kMaxWaiting) {
    Queue[Queued++] = Held[0];
    Remove(Held, &HeldCount, Held[0]);
    moved = true;
  }
  if (moved) StartWorkerLocked();
  LockLeave(WorkerLock);
  if (moved) EventSet(WorkerWake);
}

// Waiting and held requests end as aborted; the thread ends after the request it is carrying out.
void WorkerStop() {
  if (WorkerLock == nullptr) return;
  LockEnter(WorkerLock);
  SRB_ExecSCSICmd* ending[2 * kMaxWaiting];
  int count = 0;
  for (int i = 0; i < Queued; ++i) ending[count++] = Queue[i];
  for (int i = 0; i < HeldCount; ++i) ending[count++] = Held[i];
  Queued = HeldCount = 0;
  WorkerStopping = true;
  Thread* thread = WorkerThread;
  WorkerThread = nullptr;
  LockLeave(WorkerLock);
  for (int i = 0; i < count; ++i) EndAborted(ending[i]);
  if (thread) {
    EventSet(WorkerWake);
    ThreadJoin(thread);
  }
  LockDestroy(WorkerLock);
  EventDestroy(WorkerWake);
  WorkerLock = nullptr;
  WorkerWake = nullptr;
}
