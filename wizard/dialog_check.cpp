// DLG_CHK_TARGET_DRIVE: 開  始 computes the card's geometry and reads the partition tables it
// already holds, on the dialog's own thread, while the progress bar follows. Failures end the
// dialog as ｷｬﾝｾﾙ does, without a box.
#include "aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "platform/window.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"

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
