#include "wizard/start_dialog.h"

#include <cstring>

#include "interp/arguments.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "platform/window.h"
#include "services/exit_commands.h"
#include "wizard/adapter_commands.h"
#include "wizard/dialog_report.h"
#include "wizard/workers.h"

static const char* const kDialogNames[kDialogCount] = {
    "DLG_OPENING_1",        "DLG_TARGET_DRIVEINFO",          "DLG_CHK_TARGET_DRIVE",
    "DLG_MAKE_PARTITION_TGETDRV", "DLG_CARD_INIT",           "DLG_START_KELVADO",
    "DLG_TRUE_END_PROGRAM", "DLG_FALSE_END_PROGRAM"};

int32_t DialogIndex(const char* name) {
  for (int32_t i = 0; i < kDialogCount; ++i)
    if (std::strcmp(kDialogNames[i], name) == 0) return i;
  return -1;
}

const char* DialogName(int32_t index) {
  return index >= 0 && index < kDialogCount ? kDialogNames[index] : "";
}

int32_t FuncStartDialog(char* args) {
  char* name;
  int32_t result = ReadArguments("FuncStartDialog", args, Value(&name));
  if (result < 0) return result;
  int32_t index = DialogIndex(name);
  if (index < 0) return -1;

  // The interpreter waits here, inside this line, until the dialog ends.
  int32_t ended = RunDialog(index);
  // A worker sends its last message before its dialog can end: it is only returning now.
  ReleaseWorker();
  UnregisterEngineControls();
  switch (ended) {
    case kDialogNext:
      ChooseStoredSection(kTrueSection);
      return 0;
    case kDialogCancel:
      ChooseStoredSection(kFalseSection);
      return 0;
    case kDialogShutDown:
      ShutDownOnExit = true;
      PostClose();
      return 0;
    default:
      ScriptErrorSet("FuncStartDialog Dialog戻り値(%d)が不正です", static_cast<int>(ended));
      return -1;
  }
}

void ResetWizard() {
  UseNewVolSerial = 0;
  KillCardSrvDlg = 0;
  UnregisterEngineControls();
}
