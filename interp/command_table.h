// CommandTable: command names and their handlers, filled once at start-up from the tables of
// commands that the libraries keep.
#ifndef KELVADO_INTERP_COMMAND_TABLE_H
#define KELVADO_INTERP_COMMAND_TABLE_H

#include <cstdint>

// Receives the argument text of its line (modifiable; nullptr when the line has no comma).
// Returns kGoOn, kRunAgain (run again at the next tick), kSectionChosen or another positive value
// when it has chosen the next section (the section ends), or a negative value after writing
// ScriptError (interp/arguments.h).
typedef int32_t (*CommandHandler)(char* args);

// One command of a library's table of the commands it implements. A table lists its commands in
// the order the library contributes them and ends with an entry whose name is nullptr.
struct CommandEntry {
  const char* name;
  CommandHandler handler;
};

// Enters a command; a name that is already there keeps its first handler.
void CommandTableAdd(const char* name, CommandHandler handler);
// Enters every command of a library's table, in its order.
void CommandTableAddAll(const CommandEntry* commands);
// The handler of exactly this name, or nullptr.
CommandHandler CommandTableFind(const char* name);
int32_t CommandCount();
// The name entered at `index` (0 first, in the order of entering), or nullptr beyond the last.
const char* CommandTableName(int32_t index);
void ClearCommandTable();

#endif
