// DLG_CARD_INIT: the person takes the card out and puts it back; 次へ>> looks for the fixed drive
// whose volume serial is the one the card was formatted with, and asks again until it is there.
#include "engine/drive_info.h"
#include "engine/vol_serial.h"
#include "platform/window.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"

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
