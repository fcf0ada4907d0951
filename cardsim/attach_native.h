// The emulator in the native build, linked into the program in place of WNASPI32.DLL.
#ifndef KELVADO_CARDSIM_ATTACH_NATIVE_H
#define KELVADO_CARDSIM_ATTACH_NATIVE_H

#include <cstdint>

#include "cardsim/cardsim.h"

// Starts the emulator and points the device layer's driver seam at it, configured from the
// environment or explicitly. A configuration whose library does not load, or lacks an entry
// point, is linked that way. 0, or -1 (a bad variable, or the image cannot be opened).
int32_t CardSimAttach();
int32_t CardSimAttach(const CardSimConfig& config);

#endif
