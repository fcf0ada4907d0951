// The screen's state as at program start, for tests and tools.
#ifndef KELVADO_SCREEN_SCREEN_RESET_H
#define KELVADO_SCREEN_SCREEN_RESET_H

// Releases the display lists and the work buffer, clears MainWinCleared, puts every layout
// setting back to 0 and forgets the screen size (0 x 0, as before start-up reads it).
void ResetScreen();

#endif
