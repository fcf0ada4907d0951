// Runs a dialog of the wizard as a modal box over the main window, from its template of the same
// name in the program's resources. Its procedure translates WM_INITDIALOG and WM_COMMAND into the
// dialog's reactions (wizard/dialogs.h) and answers both with TRUE, everything else with FALSE.
#include <windows.h>
#include <commctrl.h>

#include "platform/window_win32.h"
#include "wizard/dialogs.h"

template <int32_t kIndex>
static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
  const DialogReactions& reactions = kDialogReactions[kIndex];
  switch (msg) {
    case WM_INITDIALOG:
      reactions.start(dialog);
      return TRUE;
    case WM_COMMAND:
      reactions.command(dialog, LOWORD(wparam), lparam);
      return TRUE;
  }
  return FALSE;
}

static const DLGPROC kProcedures[kDialogCount] = {DialogProc<0>, DialogProc<1>, DialogProc<2>,
                                                   DialogProc<3>, DialogProc<4>, DialogProc<5>,
                                                   DialogProc<6>, DialogProc<7>};

int32_t RunDialog(int32_t index) {
  static bool common_controls = false;  // the progress bar's window class
  if (!common_controls) {
    InitCommonControls();
    common_controls = true;
  }
  INT_PTR ended = DialogBoxParamA(GetModuleHandleA(NULL), DialogName(index), MainWindow,
                                  kProcedures[index], 0);
  return static_cast<int32_t>(ended);
}
