// StartDialog,"NAME": shows one of the wizard's eight dialogs and goes on with TrueSection or
// FalseSection according to how it ended, or closes the program when the user chose to shut the
// system down now.
#ifndef KELVADO_WIZARD_START_DIALOG_H
#define KELVADO_WIZARD_START_DIALOG_H

#include <cstdint>

#include "wizard/dialog_ids.h"

// How a dialog ends: with the id of the button that ended it.
const int32_t kDialogNext = IDC_NEXT;               // or the work done: TrueSection
const int32_t kDialogCancel = IDC_CANCEL_BUTTON;    // or a failure: FalseSection
const int32_t kDialogShutDown = IDC_SHUT_DOWN_NOW;  // ShutDownOnExit, then WM_CLOSE

// The eight templates, by the name the script gives; -1 for any other name (exact, case-sensitive).
const int32_t kDialogCount = 8;
int32_t DialogIndex(const char* name);
const char* DialogName(int32_t index);

// Shows the dialog and returns how it ended: DialogBoxParamA with the template of that name, owned
// by the main window (kelvado.exe); natively the answer of the handler that tests set
// (wizard/start_dialog_native.h).
int32_t RunDialog(int32_t index);

int32_t FuncStartDialog(char* args);

// The wizard's state as at program start: UseNewVolSerial and KillCardSrvDlg 0, no engine control
// registered. Main thread only, with no worker running.
void ResetWizard();

#endif
