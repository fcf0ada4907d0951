// The wizard's implementation of the engine's report: each entry writes the control that shows
// it, with the messages the controls take (WM_SETTEXT, PBM_*), or opens the error box.
#include "wizard/dialog_report.h"

#include "engine/engine_report.h"
#include "engine/errors.h"
#include "platform/window.h"
#include "wizard/dialog_ids.h"
#include "wizard/dialog_texts.h"

namespace {

// The controls the engine reports to: none until a dialog registers them.
struct EngineControls {
  void* progress_bar;
  void* status_text;
  void* copy_dialog;  // whose texts show the drive figures and the copy's two lines
};
EngineControls controls = {nullptr, nullptr, nullptr};

EngineControls& Of(void* context) { return *static_cast<EngineControls*>(context); }

// The copy dialog's text of each drive figure, in DriveFigure order.
const int32_t kFigureTexts[kDriveFigureCount] = {
    IDC_SOURCE_OS,   IDC_SOURCE_TYPE, IDC_SOURCE_SPACE, IDC_SOURCE_VOLUME,
    IDC_TARGET_ROOT, IDC_TARGET_TYPE, IDC_TARGET_SPACE, IDC_TARGET_VOLUME};

void OnStatus(void* context, const char* text) {
  void* status_text = Of(context).status_text;
  if (status_text != nullptr)
    SendControlMessage(status_text, kWmSetText, 0, reinterpret_cast<intptr_t>(text));
}

void OnProgressRange(void* context, uint32_t maximum) {
  void* bar = Of(context).progress_bar;
  // MAKELPARAM(0, maximum): the low word is the minimum, the high word the maximum.
  if (bar != nullptr) SendControlMessage(bar, kPbmSetRange, 0, static_cast<intptr_t>(maximum << 16));
}

void OnProgressPosition(void* context, uint32_t position) {
  void* bar = Of(context).progress_bar;
  if (bar != nullptr) SendControlMessage(bar, kPbmSetPos, position, 0);
}

void OnProgressStep(void* context, uint32_t step) {
  void* bar = Of(context).progress_bar;
  if (bar != nullptr) SendControlMessage(bar, kPbmSetStep, step, 0);
}

void OnProgressStepIt(void* context) {
  void* bar = Of(context).progress_bar;
  if (bar != nullptr) SendControlMessage(bar, kPbmStepIt, 0, 0);
}

void OnDriveFigure(void* context, DriveFigure figure, const char* text) {
  void* dialog = Of(context).copy_dialog;
  if (dialog != nullptr) SetDialogText(dialog, kFigureTexts[figure], text);
}

void OnCopyNames(void* context, const char* source, const char* target) {
  void* dialog = Of(context).copy_dialog;
  if (dialog == nullptr) return;
  SetDialogText(dialog, IDC_COPY_SOURCE, source);
  SetDialogText(dialog, IDC_COPY_TARGET, target);
}

int32_t OnError(void*, int32_t code) { return ShowEngineError(code); }

const EngineReport kDialogReport = {&controls,         OnStatus,      OnProgressRange,
                                    OnProgressPosition, OnProgressStep, OnProgressStepIt,
                                    OnDriveFigure,     OnCopyNames,   OnError};

}  // namespace

// The dialogs' own messages to the bar go straight to it: the engine's progress calls wait while
// the worker is held, and the dialog's thread must never wait there.
void SetProgressPosition(int32_t position) {
  if (controls.progress_bar != nullptr)
    SendControlMessage(controls.progress_bar, kPbmSetPos, static_cast<uintptr_t>(position), 0);
}

void RegisterProgressBar(void* dialog, int32_t id) {
  controls.progress_bar = DialogItem(dialog, id);
  RegisteredReport = &kDialogReport;
  SendControlMessage(controls.progress_bar, kPbmSetRange, 0, 100 << 16);  // MAKELPARAM(0, 100)
  SetProgressPosition(0);
}

void RegisterStatusText(void* dialog, int32_t id) {
  controls.status_text = DialogItem(dialog, id);
  RegisteredReport = &kDialogReport;
  SetDialogText(dialog, id, "");
}

void RegisterCopyTexts(void* dialog) {
  controls.copy_dialog = dialog;
  RegisteredReport = &kDialogReport;
}

void UnregisterEngineControls() {
  controls = EngineControls{nullptr, nullptr, nullptr};
  RegisteredReport = nullptr;
}

int32_t ShowEngineError(int32_t code) {
  return ShowMessageBox(true, ErrorText(static_cast<uint32_t>(code)), kErrorCaption, kMbOk);
}
