// The dialogs' reactions, but for the two that run a worker (dialog_partition.cpp and
// dialog_copy.cpp); and what all of them share: the table of their reactions and the interrupt
// question.
#include "wizard/dialogs.h"

#include "aspi/aspi.h"
#include "engine/drive_info.h"
#include "engine/engine_hooks.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/vol_serial.h"
#include "platform/window.h"
#include "wizard/adapter_commands.h"
#include "wizard/dialog_report.h"
#include "wizard/dialog_texts.h"
#include "wizard/workers.h"

const DialogReactions kDialogReactions[kDialogCount] = {
    {OpeningStart, OpeningCommand},   {TargetInfoStart, NextOrCancelCommand},
    {CheckStart, CheckCommand},       {PartitionStart, PartitionCommand},
    {CardInitStart, CardInitCommand}, {CopyStart, CopyCommand},
    {TrueEndStart, TrueEndCommand},   {FalseEndStart, FalseEndCommand}};

void NextOrCancelCommand(void* dialog, int32_t id, intptr_t) {
  if (id == IDC_NEXT) {
    EnableDialogItem(dialog, IDC_NEXT, false);
    EndDialogWith(dialog, kDialogNext);
  } else if (id == IDC_CANCEL_BUTTON) {
    EndDialogWith(dialog, kDialogCancel);
  }
}

void AskInterrupt(void* dialog, const char* question) {
  bool running = WorkerRunning();
  if (running) EventReset(WorkerGate);
  int32_t answer = DialogMessageBox(dialog, question, kInfoCaption, kMbYesNo);
  if (answer == kIdYes) {
    if (running) {
      EventSet(AbortEvent);
      EventSet(WorkerGate);
    } else {
      NotifyWorkerDone(dialog, -9);
    }
  } else if (running) {
    EventSet(WorkerGate);
  }
}

// DLG_OPENING_1 and DLG_TARGET_DRIVEINFO: a text, 次へ>> and ｷｬﾝｾﾙ.
void OpeningStart(void* dialog) { SetDialogText(dialog, IDC_OPENING_TEXT, kOpeningText); }

void OpeningCommand(void* dialog, int32_t id, intptr_t value) {
  NextOrCancelCommand(dialog, id, value);
}

void TargetInfoStart(void* dialog) {
  char text[512];
  FormatTargetText(text, sizeof text, kTargetInfoFormat);
  SetDialogText(dialog, IDC_TARGET_INFO_TEXT, text);
}

// DLG_CHK_TARGET_DRIVE: 開  始 computes the card's geometry and reads the partition tables it
// already holds, on the dialog's own thread, while the progress bar follows. Failures end the
// dialog as ｷｬﾝｾﾙ does, without a box.
void CheckStart(void* dialog) {
  char text[512];
  FormatTargetText(text, sizeof text, kCheckFormat);
  SetDialogText(dialog, IDC_CHECK_TEXT, text);
  RegisterProgressBar(dialog, IDC_PROGRESS);
}

static void End(void* dialog, int32_t result) {
  UnregisterEngineControls();
  EndDialogWith(dialog, result);
}

static void OnStart(void* dialog) {
  EnableDialogItem(dialog, IDC_START, false);
  if (CalcGeometry() != 0) return End(dialog, kDialogCancel);
  SetProgressPosition(20);
  if (ReadPartitionTables(AdapterNumber) != 0) return End(dialog, kDialogCancel);
  SetProgressPosition(100);
  End(dialog, kDialogNext);
}

void CheckCommand(void* dialog, int32_t id, intptr_t) {
  if (id == IDC_START)
    OnStart(dialog);
  else if (id == IDC_CANCEL_BUTTON)
    End(dialog, kDialogCancel);
}

// DLG_CARD_INIT: the person takes the card out and puts it back; 次へ>> looks for the fixed drive
// whose volume serial is the one the card was formatted with, and asks again until it is there.
void CardInitStart(void* dialog) { SetDialogText(dialog, IDC_CARD_INIT_TEXT, kCardInitText); }

void CardInitCommand(void* dialog, int32_t id, intptr_t) {
  if (id == IDC_CANCEL_BUTTON) {
    EndDialogWith(dialog, kDialogCancel);
  } else if (id == IDC_NEXT) {
    if (FindDriveBySerial(NewVolSerial) == 1)
      EndDialogWith(dialog, kDialogNext);
    else
      ShowMessageBox(true, kCardNotFoundText, kInfoCaption, kMbOk);
  }
}

// DLG_TRUE_END_PROGRAM and DLG_FALSE_END_PROGRAM: the wizard's last dialog. Both switch the PC
// Card service's dialog back on; the false end also gives the card a fresh serial, so that a
// half-made card is never taken for the one a later run formats.
static void RestoreCardService() {
  char off[] = "FALSE";
  FuncSetKillCardSrvDlg(off);
}

void TrueEndStart(void* dialog) {
  SetDialogText(dialog, IDC_TRUE_END_TEXT, kTrueEndText);
  RestoreCardService();
}

void TrueEndCommand(void* dialog, int32_t id, intptr_t) {
  if (id == IDC_SHUT_DOWN_NOW) {
    EnableDialogItem(dialog, IDC_SHUT_DOWN_NOW, false);
    EndDialogWith(dialog, kDialogShutDown);
  } else if (id == IDC_CANCEL_BUTTON) {
    EndDialogWith(dialog, kDialogCancel);
  }
}

void FalseEndStart(void* dialog) {
  SetDialogText(dialog, IDC_FALSE_END_TEXT, kFalseEndText);
  // Writes nothing unless this run put a partition on the card.
  NewVolSerial = MakeVolSerial();
  SetVolSerial(AdapterNumber);
  RestoreCardService();
}

void FalseEndCommand(void* dialog, int32_t id, intptr_t) {
  if (id == IDC_CANCEL_BUTTON) EndDialogWith(dialog, kDialogCancel);
}
