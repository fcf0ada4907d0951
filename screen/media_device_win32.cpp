#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include "platform/window_win32.h"
#include "screen/media.h"

// The media end notification that screen/media.h copies, checked against the system's own value.
static_assert(kMediaEndSuccessful == MCI_NOTIFY_SUCCESSFUL, "MCI_NOTIFY_SUCCESSFUL");

static DWORD_PTR Callback() { return reinterpret_cast<DWORD_PTR>(MainWindow); }

uint32_t MediaDeviceOpen(const char* type, const char* path, uint32_t* device) {
  MCI_OPEN_PARMSA open;
  ZeroMemory(&open, sizeof open);
  open.dwCallback = Callback();
  open.lpstrDeviceType = type;
  open.lpstrElementName = path;
  MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                                   reinterpret_cast<DWORD_PTR>(&open));
  if (error == 0) *device = open.wDeviceID;
  return error;
}

uint32_t MediaDeviceShowInWindow(uint32_t device) {
  MCI_DGV_WINDOW_PARMSA window;
  ZeroMemory(&window, sizeof window);
  window.dwCallback = Callback();
  window.hWnd = MainWindow;
  window.nCmdShow = SW_SHOWDEFAULT;
  window.lpstrText = NULL;
  return mciSendCommandA(device, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_DGV_WINDOW_STATE,
                         reinterpret_cast<DWORD_PTR>(&window));
}

uint32_t MediaDeviceFillWindow(uint32_t device, int32_t width, int32_t height) {
  MCI_DGV_RECT_PARMS put;
  ZeroMemory(&put, sizeof put);
  put.dwCallback = Callback();
  // The device layer reads the rectangle as left, top, width, height.
  put.rc.left = 0;
  put.rc.top = 0;
  put.rc.right = width;
  put.rc.bottom = height;
  return mciSendCommandA(device, MCI_PUT, MCI_DGV_RECT | MCI_DGV_PUT_DESTINATION,
                         reinterpret_cast<DWORD_PTR>(&put));
}

uint32_t MediaDevicePlay(uint32_t device, bool repeat) {
  MCI_DGV_PLAY_PARMS play;
  ZeroMemory(&play, sizeof play);
  play.dwCallback = Callback();
  DWORD flags = MCI_NOTIFY | (repeat ? MCI_DGV_PLAY_REPEAT : 0);
  return mciSendCommandA(device, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&play));
}

uint32_t MediaDeviceMode(uint32_t device) {
  MCI_STATUS_PARMS status;
  ZeroMemory(&status, sizeof status);
  status.dwItem = MCI_STATUS_MODE;
  if (mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)))
    return 0;
  return static_cast<uint32_t>(status.dwReturn);
}

void MediaDeviceStop(uint32_t device) {
  MCI_GENERIC_PARMS stop;
  ZeroMemory(&stop, sizeof stop);
  mciSendCommandA(device, MCI_STOP, 0, reinterpret_cast<DWORD_PTR>(&stop));
}

void MediaDeviceClose(uint32_t device) {
  MCI_GENERIC_PARMS close;
  ZeroMemory(&close, sizeof close);
  mciSendCommandA(device, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&close));
}

void MediaErrorText(uint32_t error, char* text, size_t size) {
  if (size == 0) return;
  text[0] = '\0';
  if (!mciGetErrorStringA(error, text, static_cast<UINT>(size))) text[0] = '\0';
}
