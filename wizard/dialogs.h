// The eight dialogs' reactions, free of the platform. Each dialog has two: its start
// (WM_INITDIALOG) and its commands (WM_COMMAND: a button by its id, or the worker's last message
// kWorkerDone with the worker's result as `value`). The Win32 dialog procedures only translate
// messages into these; the native tests call them directly.
#ifndef KELVADO_WIZARD_DIALOGS_H
#define KELVADO_WIZARD_DIALOGS_H

#include <cstdint>

#include "wizard/dialog_ids.h"
#include "wizard/start_dialog.h"

struct DialogReactions {
  void (*start)(void* dialog);
  void (*command)(void* dialog, int32_t id, intptr_t value);
};
// By dialog index (DialogIndex).
extern const DialogReactions kDialogReactions[kDialogCount];

void OpeningStart(void* dialog);
void OpeningCommand(void* dialog, int32_t id, intptr_t value);
void TargetInfoStart(void* dialog);
void CheckStart(void* dialog);
void CheckCommand(void* dialog, int32_t id, intptr_t value);
void PartitionStart(void* dialog);
void PartitionCommand(void* dialog, int32_t id, intptr_t value);
void CardInitStart(void* dialog);
void CardInitCommand(void* dialog, int32_t id, intptr_t value);
void CopyStart(void* dialog);
void CopyCommand(void* dialog, int32_t id, intptr_t value);
void TrueEndStart(void* dialog);
void TrueEndCommand(void* dialog, int32_t id, intptr_t value);
void FalseEndStart(void* dialog);
void FalseEndCommand(void* dialog, int32_t id, intptr_t value);

// 次へ>> (disabled as it is pressed, so a second click cannot reach the next dialog) and ｷｬﾝｾﾙ.
void NextOrCancelCommand(void* dialog, int32_t id, intptr_t value);

// The interrupt question of the two worker dialogs, in a box owned by the dialog. While it is
// open a running worker is held at its next poll. Yes: a running worker is stopped through
// AbortEvent and reports -9 itself; without a worker the dialog gets kWorkerDone with -9 at once.
void AskInterrupt(void* dialog, const char* question);

#endif
