// The exit sequence's platform part in the native build: ReleaseWindowImage calls its handler,
// which tests set to see when it comes; an unset handler does nothing. Main thread only.
#ifndef KELVADO_APP_EXIT_SEQUENCE_NATIVE_H
#define KELVADO_APP_EXIT_SEQUENCE_NATIVE_H

#include "app/exit_sequence.h"

typedef void (*ReleaseImageFunction)();
extern ReleaseImageFunction ReleaseWindowImageHandler;

#endif
