// DLG_MAKE_PARTITION_TGETDRV: 開　始 runs the partition worker, 中  断 asks whether to stop it.
// Idle: 開　始 and ｷｬﾝｾﾙ enabled, 中  断 disabled; running: the reverse. An interrupted run
// returns the dialog to idle, so the person may start again or cancel.
#include "engine/errors.h"
#include "engine/vol_serial.h"
#include "platform/window.h"
#include "wizard/dialog_report.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"
#include "wizard/workers.h"

// The card is formatted with this serial, by which its drive is found once it is mounted.
static const uint32_t kMarkerSerial = 1;

static void RegisterControls(void* dialog) {
  RegisterProgressBar(dialog, IDC_PROGRESS);
  RegisterStatusText(dialog, IDC_STATUS_TEXT);
}

void PartitionStart(void* dialog) {
  SetDialogText(dialog, IDC_PARTITION_TEXT, kPartitionText);
  RegisterControls(dialog);
  EnableDialogItem(dialog, IDC_INTERRUPT, false);
}

static void OnWorkerDone(void* dialog, int32_t result) {
  WorkerEnded();
  EnableDialogItem(dialog, IDC_INTERRUPT, false);
  EnableDialogItem(dialog, IDC_CANCEL_BUTTON, true);
  EnableDialogItem(dialog, IDC_START, true);
  RegisterControls(dialog);
  if (result == 0)
    EndDialogWith(dialog, kDialogNext);
  else if (result != -9)
    EndDialogWith(dialog, kDialogCancel);
}

static void OnStart(void* dialog) {
  if (WorkerRunning()) return;
  RegisterControls(dialog);
  EnableDialogItem(dialog, IDC_INTERRUPT, true);
  EnableDialogItem(dialog, IDC_CANCEL_BUTTON, false);
  EnableDialogItem(dialog, IDC_START, false);
  NewVolSerial = kMarkerSerial;
  if (StartWorker(PartitionWorker, dialog) != 0) {
    ShowEngineError(-1);
    OnWorkerDone(dialog, -1);
  }
}

// Esc and the close box arrive as ｷｬﾝｾﾙ too; while the worker runs they are not taken, so the
// worker never outlives its dialog.
static void OnCancel(void* dialog) {
  if (WorkerRunning()) return;
  ReleaseWorker();
  UnregisterEngineControls();
  EndDialogWith(dialog, kDialogCancel);
}

void PartitionCommand(void* dialog, int32_t id, intptr_t value) {
  switch (id) {
    case IDC_START:
      OnStart(dialog);
      break;
    case IDC_INTERRUPT:
      if (WorkerRunning()) AskInterrupt(dialog, kPartitionQuestion);
      break;
    case static_cast<int32_t>(kWorkerDone):
      OnWorkerDone(dialog, static_cast<int32_t>(value));
      break;
    case IDC_CANCEL_BUTTON:
      OnCancel(dialog);
      break;
  }
}
