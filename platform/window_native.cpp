#include "platform/window_native.h"

#include <cstdio>
#include <map>
#include <string>

#include "platform/window.h"

WindowServiceFunction PostNewOneHandler = nullptr;
WindowServiceFunction PostCloseHandler = nullptr;
WindowServiceFunction RefreshMainWindowHandler = nullptr;
WindowServiceFunction RepaintDebugWindowHandler = nullptr;
CursorFunction SetMouseCursorHandler = nullptr;
WindowServiceFunction ShowMainWindowHandler = nullptr;
TimerFunction WindowTimerHandler = nullptr;
WindowServiceFunction PostQuitHandler = nullptr;

void PostNewOne() {
  if (PostNewOneHandler) PostNewOneHandler();
}

void PostClose() {
  if (PostCloseHandler) PostCloseHandler();
}

void RefreshMainWindow() {
  if (RefreshMainWindowHandler) RefreshMainWindowHandler();
}

void RepaintDebugWindow() {
  if (RepaintDebugWindowHandler) RepaintDebugWindowHandler();
}

void SetMouseCursor(int32_t cursor_id) {
  if (SetMouseCursorHandler) SetMouseCursorHandler(cursor_id);
}

void ShowMainWindow() {
  if (ShowMainWindowHandler) ShowMainWindowHandler();
}

void SetWindowTimer(uint32_t timer_id, uint32_t period_ms) {
  if (WindowTimerHandler) WindowTimerHandler(timer_id, period_ms);
}

void StopWindowTimer(uint32_t timer_id) {
  if (WindowTimerHandler) WindowTimerHandler(timer_id, 0);
}

void PostQuit() {
  if (PostQuitHandler) PostQuitHandler();
}

MessageBoxFunction MessageBoxHandler = nullptr;

int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style) {
  if (MessageBoxHandler) return MessageBoxHandler(owned, text, caption, style);
  std::fprintf(stderr, "[box] %s: %s\n", caption, text);
  return (style & 0x000F) == kMbYesNo ? kIdYes : kIdOk;
}

DialogTextFunction DialogTextHandler = nullptr;

void SetDialogText(void* dialog, int32_t id, const char* text) {
  if (DialogTextHandler != nullptr) DialogTextHandler(dialog, id, text);
}

// Control messages in the native build: handed to ControlMessageHandler, if any.
ControlMessageFunction ControlMessageHandler = nullptr;

intptr_t SendControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (ControlMessageHandler == nullptr) return 0;
  return ControlMessageHandler(control, message, wparam, lparam);
}

// The stand-in dialog of the native build: it records texts, enabled states and the end.
struct NativeControl {
  NativeDialog* dialog;
  int32_t id;
};

struct NativeDialog {
  int32_t index;
  std::map<int32_t, std::string> texts;
  std::map<int32_t, bool> disabled;
  std::map<int32_t, NativeControl> controls;
  bool ended = false;
  int32_t result = 0;
  int32_t boxes_open = 0;  // message boxes it owns that are open: it takes no input meanwhile
};

NativeDialog* NativeDialogCreate(int32_t index) {
  NativeDialog* dialog = new NativeDialog;
  dialog->index = index;
  return dialog;
}

void NativeDialogDestroy(NativeDialog* dialog) { delete dialog; }
int32_t NativeDialogIndex(NativeDialog* dialog) { return dialog->index; }

bool NativeDialogEnabled(NativeDialog* dialog, int32_t id) { return !dialog->disabled[id]; }

const char* NativeDialogText(NativeDialog* dialog, int32_t id) {
  return dialog->texts[id].c_str();
}

void NativeDialogSetText(NativeDialog* dialog, int32_t id, const char* text) {
  dialog->texts[id] = text;
}

bool NativeDialogEnded(NativeDialog* dialog, int32_t* result) {
  *result = dialog->result;
  return dialog->ended;
}

NativeDialog* NativeControlDialog(void* control, int32_t* id) {
  NativeControl* c = static_cast<NativeControl*>(control);
  *id = c->id;
  return c->dialog;
}

void* DialogItem(void* dialog, int32_t id) {
  NativeDialog* d = static_cast<NativeDialog*>(dialog);
  NativeControl& control = d->controls[id];
  control.dialog = d;
  control.id = id;
  return &control;
}

void EnableDialogItem(void* dialog, int32_t id, bool enabled) {
  static_cast<NativeDialog*>(dialog)->disabled[id] = !enabled;
}

void EndDialogWith(void* dialog, int32_t result) {
  NativeDialog* d = static_cast<NativeDialog*>(dialog);
  d->ended = true;
  d->result = result;
}

int32_t DialogMessageBox(void* dialog, const char* text, const char* caption, uint32_t style) {
  NativeDialog* d = static_cast<NativeDialog*>(dialog);
  ++d->boxes_open;
  int32_t answer = ShowMessageBox(true, text, caption, style);
  --d->boxes_open;
  return answer;
}

bool NativeDialogOwnsOpenBox(NativeDialog* dialog) { return dialog->boxes_open > 0; }
