// Whether the exit sequence shuts the system down: set when the last dialog of the wizard closes
// with 今すぐシャットダウン.
#ifndef KELVADO_SYSTEM_SHUTDOWN_H
#define KELVADO_SYSTEM_SHUTDOWN_H

#include <cstdint>

// 0 at start. Main thread only: set by StartDialog, read by the exit sequence.
extern int32_t ShutDownOnExit;

#endif
