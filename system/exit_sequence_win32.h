// The exit sequence, run once when the main window is destroyed.
#ifndef KELVADO_SYSTEM_EXIT_SEQUENCE_WIN32_H
#define KELVADO_SYSTEM_EXIT_SEQUENCE_WIN32_H

void RunExitSequence();

#endif
