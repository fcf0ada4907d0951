// The engine's report as the wizard's dialogs show it: the check and partition dialogs give it
// their progress bar and status line, the copy dialog its drive figures and the two lines of the
// copy; an error is a box owned by the main window. A dialog registers its controls as it starts
// (the partition dialog again when it returns to idle); FuncStartDialog unregisters them once the
// dialog has ended. The engine's worker writes into the controls with synchronous messages, so
// it waits while the dialog's thread updates them.
#ifndef KELVADO_WIZARD_DIALOG_REPORT_H
#define KELVADO_WIZARD_DIALOG_REPORT_H

#include <cstdint>

// Registers control `id` of `dialog` as the progress bar the engine reports to, at position 0
// with the range 0-100.
void RegisterProgressBar(void* dialog, int32_t id);
// Registers control `id` of `dialog` as the status line the engine reports to, emptied.
void RegisterStatusText(void* dialog, int32_t id);
// Registers the copy dialog's texts of the drive figures and of the copy.
void RegisterCopyTexts(void* dialog);
// The engine reports to no dialog any more.
void UnregisterEngineControls();
// Moves the registered progress bar, from the dialog's thread.
void SetProgressPosition(int32_t position);

// ErrorText(code) in a box owned by the main window, captioned "Kelvado Error", with an OK
// button: what the engine's errors are to the person, shown from the thread that calls. Blocks
// until the box is closed; returns the button pressed.
int32_t ShowEngineError(int32_t code);

#endif
