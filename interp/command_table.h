// CommandTable: command names and their handlers, filled once at start-up.
#ifndef KELVADO_INTERP_COMMAND_TABLE_H
#define KELVADO_INTERP_COMMAND_TABLE_H

#include <cstdint>

// Receives the argument text of its line (modifiable; nullptr when the line has no comma).
// Returns kGoOn, kRunAgain (run again at the next tick), kSectionChosen or another positive value
// when it has chosen the next section (the section ends), or a negative value after writing
// ScriptError (interp/arguments.h).
typedef int32_t (*CommandHandler)(char* args);

// Enters a command; a name that is already there keeps its first handler.
void CommandTableAdd(const char* name, CommandHandler handler);
// The handler of exactly this name, or nullptr.
CommandHandler CommandTableFind(const char* name);
int32_t CommandCount();
void ClearCommandTable();

#endif
