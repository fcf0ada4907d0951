// Video and sound playback, as the main window uses it.
#ifndef KELVADO_SCREEN_MEDIA_H
#define KELVADO_SCREEN_MEDIA_H

// Stops and closes the open video or sound device, if any.
void MediaStopAndClose();

#endif
