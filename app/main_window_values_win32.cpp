// The keys and the media notification that app/main_window.h copies, checked against the system's
// own values.
#include <windows.h>
#include <mmsystem.h>

#include "app/main_window.h"

static_assert(kKeyEscape == VK_ESCAPE, "VK_ESCAPE");
static_assert(kKeySpace == VK_SPACE, "VK_SPACE");
static_assert(kKeyF12 == VK_F12, "VK_F12");
static_assert(kMediaEndSuccessful == MCI_NOTIFY_SUCCESSFUL, "MCI_NOTIFY_SUCCESSFUL");
