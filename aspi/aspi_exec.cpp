// The one path of every SCSI command: ExecSrb, its event, the wait and the abort.
//
// The driver is handed a request of its own, not the caller's: a copy of the request block, a copy
// of the data buffer and a fresh event. When the request finishes in time the results are copied
// back and everything is freed. When it times out, the abort is asked for; if the driver has not
// let go of the request even then, the request is kept (held) until the driver signals its event,
// so that a late completion never writes into memory the caller has since freed or reused, never
// writes data the caller has since changed, and never signals an event handle that was closed and
// perhaps handed out again.
#include <cstring>
#include <new>

#include "aspi/aspi.h"
#include "aspi/aspi_driver.h"
#include "platform/threads.h"
#include "platform/window.h"

uint32_t AspiWaitMs = 10000;

struct Request {
  SRB_ExecSCSICmd srb;
  Event* event;
  uint8_t* data;  // SRB_BufLen bytes, or none
  Request* next;  // in the list of held requests
};

static Request* HeldList = nullptr;

static void FreeRequest(Request* request) {
  if (request->event) EventDestroy(request->event);
  delete[] request->data;
  delete request;
}

void ReleaseFinishedRequests() {
  Request** link = &HeldList;
  while (*link) {
    Request* request = *link;
    if (EventWait(request->event, 0)) {
      *link = request->next;
      FreeRequest(request);
    } else {
      link = &request->next;
    }
  }
}

int32_t AspiHeldRequests() {
  ReleaseFinishedRequests();
  int32_t count = 0;
  for (Request* r = HeldList; r; r = r->next) ++count;
  return count;
}

// The driver's copy of `srb`; null when memory or the event cannot be had.
static Request* NewRequest(const SRB_ExecSCSICmd& srb) {
  Request* request = new (std::nothrow) Request;
  if (!request) return nullptr;
  request->srb = srb;
  request->event = EventCreate(false, false);
  request->data = nullptr;
  request->next = nullptr;
  if (srb.SRB_BufPointer && srb.SRB_BufLen > 0) {
    request->data = new (std::nothrow) uint8_t[srb.SRB_BufLen];
    if (request->data) std::memcpy(request->data, srb.SRB_BufPointer, srb.SRB_BufLen);
  }
  if (!request->event || (srb.SRB_BufPointer && srb.SRB_BufLen > 0 && !request->data)) {
    FreeRequest(request);
    return nullptr;
  }
  request->srb.SRB_BufPointer = request->data;
  request->srb.SRB_Flags |= SRB_EVENT_NOTIFY;
  request->srb.SRB_PostProc = EventNativeHandle(request->event);
  return request;
}

static void CopyBack(const Request& request, SRB_ExecSCSICmd* srb) {
  uint8_t* buffer = srb->SRB_BufPointer;
  uint32_t length = srb->SRB_BufLen;
  *srb = request.srb;
  srb->SRB_BufPointer = buffer;
  srb->SRB_BufLen = length;
  if (buffer && request.data && (srb->SRB_Flags & SRB_DIR_IN))
    std::memcpy(buffer, request.data, length);
}

int32_t ExecSrb(SRB_ExecSCSICmd* srb) {
  if (DriverSendCommandEntry == nullptr) return 0;
  ReleaseFinishedRequests();
  Request* request = NewRequest(*srb);
  if (!request) return 0;
  uint32_t status = DriverSendCommandEntry(&request->srb);
  if (status == SS_PENDING && !EventWait(request->event, AspiWaitMs)) {
    AbortSrb(request->srb.SRB_HaId, &request->srb);
    if (EventWait(request->event, 0)) {
      FreeRequest(request);
    } else {
      request->next = HeldList;
      HeldList = request;
    }
    return 0;
  }
  CopyBack(*request, srb);
  FreeRequest(request);
  return 1;
}

void AbortSrb(int32_t adapter, void* pending) {
  SRB_Abort abort;
  std::memset(&abort, 0, sizeof abort);
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_HaId = static_cast<uint8_t>(adapter);
  abort.SRB_ToAbort = pending;
  if (DriverSendCommandEntry == nullptr || DriverSendCommandEntry(&abort) != SS_COMP)
    ShowMessageBox(false, "アボートに失敗しました", "Kelvado Error", kMbOk);
}
