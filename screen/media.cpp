#include "screen/media.h"

// Playback is not built yet: no device is ever open.
void MediaStopAndClose() {}
