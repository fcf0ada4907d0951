// DLG_OPENING_1 and DLG_TARGET_DRIVEINFO: a text, 次へ>> and ｷｬﾝｾﾙ.
#include "platform/window.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"

void OpeningStart(void* dialog) { SetDialogText(dialog, IDC_OPENING_TEXT, kOpeningText); }

void OpeningCommand(void* dialog, int32_t id, intptr_t value) {
  NextOrCancelCommand(dialog, id, value);
}

void TargetInfoStart(void* dialog) {
  char text[512];
  FormatTargetText(text, sizeof text, kTargetInfoFormat);
  SetDialogText(dialog, IDC_TARGET_INFO_TEXT, text);
}
