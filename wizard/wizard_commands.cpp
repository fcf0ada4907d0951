#include "wizard/wizard_commands.h"

#include "wizard/adapter_commands.h"
#include "wizard/start_dialog.h"
#include "wizard/target_commands.h"

const CommandEntry kWizardCommands[] = {
    {"Xcopy", FuncXcopy},
    {"SetKillCardSrvDlg", FuncSetKillCardSrvDlg},
    {"SetNewVolSerial", FuncSetNewVolSerial},
    {"SetChkDataArea", FuncSetChkDataArea},
    {"SetHostAdapter", FuncSetHostAdapter},
    {"InitAdapter", FuncInitAdapter},
    {"GetOsVersion", FuncGetOsVersion},
    {"StartDialog", FuncStartDialog},
    {"TgetDrvFileExist", FuncTgetDrvFileExist},
    {nullptr, nullptr},
};
