// DLG_TRUE_END_PROGRAM and DLG_FALSE_END_PROGRAM: the wizard's last dialog. Both switch the PC
// Card service's dialog back on; the false end also gives the card a fresh serial, so that a
// half-made card is never taken for the one a later run formats.
#include "aspi/aspi.h"
#include "engine/vol_serial.h"
#include "platform/window.h"
#include "wizard/adapter_commands.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"

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
