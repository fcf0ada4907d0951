// The program's composition: every command in its place, and every library's state put back as
// at program start.
#ifndef KELVADO_APP_PROGRAM_H
#define KELVADO_APP_PROGRAM_H

// Fills the CommandTable with every command of the program, in its fixed order: the commands of the
// libraries' tables (interp, services, screen, wizard), each once, by the program's list of names.
void FillCommandTable();

// Puts every library's state back as at program start, bottom-up: the device layer's target, the
// interpreter, the card engine, the services, the screen, the wizard, and the exit sequence that
// may run again. For the tests and tools that run the program's parts more than once in one
// process; the platform keeps no program state, and the stand-ins a test set stay as they are.
// Main thread only, with no worker running.
void ResetProgram();

#endif
