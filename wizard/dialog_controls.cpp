// What the dialogs share: the table of their reactions, registering the engine's progress bar
// and status line, and the interrupt question.
#include "engine/drive_info.h"
#include "engine/engine_hooks.h"
#include "engine/file_copy.h"
#include "platform/window.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"
#include "wizard/workers.h"

// The engine writes the copy dialog's drive information and file names into the controls it
// names itself; they are the template's.
static_assert(kSourceOsText == IDC_SOURCE_OS && kSourceTypeText == IDC_SOURCE_TYPE &&
                  kSourceSpaceText == IDC_SOURCE_SPACE && kSourceVolumeText == IDC_SOURCE_VOLUME,
              "source drive ids");
static_assert(kTargetRootText == IDC_TARGET_ROOT && kTargetTypeText == IDC_TARGET_TYPE &&
                  kTargetSpaceText == IDC_TARGET_SPACE && kTargetVolumeText == IDC_TARGET_VOLUME,
              "target drive ids");
static_assert(kCopySourceText == IDC_COPY_SOURCE && kCopyTargetText == IDC_COPY_TARGET,
              "copy ids");

const DialogReactions kDialogReactions[kDialogCount] = {
    {OpeningStart, OpeningCommand},   {TargetInfoStart, NextOrCancelCommand},
    {CheckStart, CheckCommand},       {PartitionStart, PartitionCommand},
    {CardInitStart, CardInitCommand}, {CopyStart, CopyCommand},
    {TrueEndStart, TrueEndCommand},   {FalseEndStart, FalseEndCommand}};

void NextOrCancelCommand(void* dialog, int32_t id, intptr_t) {
  if (id == IDC_NEXT) {
    EnableDialogItem(dialog, IDC_NEXT, false);
    EndDialogWith(dialog, kDialogNext);
  } else if (id == IDC_CANCEL_BUTTON) {
    EndDialogWith(dialog, kDialogCancel);
  }
}

// The dialogs' own messages to the bar go straight to it: the engine's progress hooks wait while
// the worker is held, and the dialog's thread must never wait there.
void SetProgressPosition(int32_t position) {
  if (EngineProgressBar != nullptr)
    SendControlMessage(EngineProgressBar, kPbmSetPos, static_cast<uintptr_t>(position), 0);
}

void RegisterProgressBar(void* dialog, int32_t id) {
  EngineProgressBar = DialogItem(dialog, id);
  SendControlMessage(EngineProgressBar, kPbmSetRange, 0, 100 << 16);  // MAKELPARAM(0, 100)
  SetProgressPosition(0);
}

void RegisterStatusText(void* dialog, int32_t id) {
  EngineStatusText = DialogItem(dialog, id);
  SetDialogText(dialog, id, "");
}

void UnregisterEngineControls() {
  EngineProgressBar = nullptr;
  EngineStatusText = nullptr;
}

void AskInterrupt(void* dialog, const char* question) {
  bool running = WorkerRunning();
  if (running) EventReset(WorkerGate);
  int32_t answer = DialogMessageBox(dialog, question, kInfoCaption, kMbYesNo);
  if (answer == kIdYes) {
    if (running) {
      EventSet(AbortEvent);
      EventSet(WorkerGate);
    } else {
      NotifyWorkerDone(dialog, -9);
    }
  } else if (running) {
    EventSet(WorkerGate);
  }
}
