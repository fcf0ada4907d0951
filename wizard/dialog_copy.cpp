// DLG_START_KELVADO: shows what is known about C: and the card's drive, checks that the card has
// room, and コピー開始 runs the copy worker. 中　断, ｷｬﾝｾﾙ (Esc) and the close box ask whether to
// stop; stopping ends the transfer.
#include "engine/drive_info.h"
#include "engine/errors.h"
#include "engine/file_copy.h"
#include "platform/text.h"
#include "platform/window.h"
#include "wizard/dialog_report.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"
#include "wizard/workers.h"

void CopyStart(void* dialog) {
  TextCopy(SourceRoot, sizeof SourceRoot, "C:\\");
  RegisterCopyTexts(dialog);
  // What cannot be read stays as the fields show it; the free space check decides.
  ShowSourceDriveInfo(SourceRoot);
  ShowTargetDriveInfo(TargetRoot);
  SetDialogText(dialog, IDC_COPY_SOURCE, "");
  SetDialogText(dialog, IDC_COPY_TARGET, "");
  SetDialogText(dialog, IDC_COPY_MESSAGE, kCopyText);
  EnableDialogItem(dialog, IDC_INTERRUPT, true);
}

static void OnStart(void* dialog) {
  if (WorkerRunning()) return;
  int32_t result = CheckFreeSpace();
  if (result != 0) {
    ShowEngineError(result);
    EndDialogWith(dialog, kDialogCancel);
    return;
  }
  EnableDialogItem(dialog, IDC_INTERRUPT, true);
  EnableDialogItem(dialog, IDC_START, false);
  if (StartWorker(CopyWorker, dialog) != 0) {
    ShowEngineError(-1);
    EndDialogWith(dialog, kDialogCancel);
  }
}

// The end dialog says the transfer ended normally: files the copy had to leave out are told
// before it, with the log that lists them.
static void TellLeftOut(void* dialog) {
  if (CopyLeftOutCount <= 0) return;
  char text[700];
  FormatLeftOutText(text, sizeof text, static_cast<uint32_t>(CopyLeftOutCount), CopyLeftOutLog);
  DialogMessageBox(dialog, text, kInfoCaption, kMbOk | kMbIconWarning);
}

// True while the worker's last message is being handled: the worker waits in it until it returns.
static bool taking_last_message = false;

static void OnWorkerDone(void* dialog, int32_t result) {
  // The box is owned by the dialog, which it disables, and comes before the buttons: コピー開始
  // now would wait for this very worker, 中　断 would ask about a copy that has ended. Should a
  // press reach the dialog all the same, the worker still counts as running and the press is
  // not taken.
  taking_last_message = true;
  if (result == 0) TellLeftOut(dialog);
  taking_last_message = false;
  WorkerEnded();
  EnableDialogItem(dialog, IDC_INTERRUPT, true);
  EnableDialogItem(dialog, IDC_START, true);
  UnregisterEngineControls();
  SetDialogText(dialog, IDC_COPY_SOURCE, "");
  SetDialogText(dialog, IDC_COPY_TARGET, "");
  EndDialogWith(dialog, result == 0 ? kDialogNext : kDialogCancel);
}

void CopyCommand(void* dialog, int32_t id, intptr_t value) {
  switch (id) {
    case IDC_START:
      OnStart(dialog);
      break;
    case IDC_INTERRUPT:
    case IDC_CANCEL_BUTTON:
      if (!taking_last_message) AskInterrupt(dialog, kCopyQuestion);
      break;
    case static_cast<int32_t>(kWorkerDone):
      OnWorkerDone(dialog, static_cast<int32_t>(value));
      break;
  }
}
