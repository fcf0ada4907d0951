// DLG_TRUE_END_PROGRAM and DLG_FALSE_END_PROGRAM: the wizard's last dialog. Both switch the PC
// Card service's dialog back on; the false end also gives the card a fresh serial, so that a
// half-made card is never taken for the one a later run formats.
#include "engine/aspi/aspi.h"
#include "engine/vol_serial.h"
#include "system/dialog_text.h"
#include "wizard/adapter_commands.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialog_window.h"
#include "wizard/dialogs.h"

static void RestoreCardService() {
  char off[] = "FALSE";
  FuncSetKillCardSrvDlg(off);
}

void TrueEndStart(void* dialog) {
  SetDialogText(dialog, kIdTrueEndText, kTrueEndText);
  RestoreCardService();
}

void TrueEndCommand(void* dialog, int32_t id, intptr_t) {
  if (id == kIdShutDownNow) {
    EnableDialogItem(dialog, kIdShutDownNow, false);
    EndDialogWith(dialog, kDialogShutDown);
  } else if (id == kIdCancelButton) {
    EndDialogWith(dialog, kDialogCancel);
  }
}

void FalseEndStart(void* dialog) {
  SetDialogText(dialog, kIdFalseEndText, kFalseEndText);
  // Writes nothing unless this run put a partition on the card.
  NewVolSerial = MakeVolSerial();
  SetVolSerial(AdapterNumber);
  RestoreCardService();
}

void FalseEndCommand(void* dialog, int32_t id, intptr_t) {
  if (id == kIdCancelButton) EndDialogWith(dialog, kDialogCancel);
}
