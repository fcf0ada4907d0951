#include "interp/command_table.h"

#include <cstdlib>
#include <cstring>

#include "platform/text.h"

struct Command {
  char name[256];
  CommandHandler handler;
};

// In the order of filling; a hundred-odd names are searched in a moment.
static Command* commands = nullptr;
static int32_t command_count = 0;
static int32_t command_capacity = 0;

CommandHandler CommandTableFind(const char* name) {
  for (int32_t i = 0; i < command_count; ++i)
    if (std::strcmp(commands[i].name, name) == 0) return commands[i].handler;
  return nullptr;
}

void CommandTableAdd(const char* name, CommandHandler handler) {
  if (CommandTableFind(name) != nullptr) return;
  if (command_count == command_capacity) {
    int32_t wanted = command_capacity == 0 ? 128 : command_capacity * 2;
    void* grown = std::realloc(commands, static_cast<size_t>(wanted) * sizeof(Command));
    if (grown == nullptr) return;  // the command stays unknown: its lines fail when they run
    commands = static_cast<Command*>(grown);
    command_capacity = wanted;
  }
  Command* command = &commands[command_count++];
  TextCopy(command->name, sizeof command->name, name);
  command->handler = handler;
}

void CommandTableAddAll(const CommandEntry* commands) {
  for (const CommandEntry* entry = commands; entry->name != nullptr; ++entry)
    CommandTableAdd(entry->name, entry->handler);
}

int32_t CommandCount() { return command_count; }

const char* CommandTableName(int32_t index) {
  return index >= 0 && index < command_count ? commands[index].name : nullptr;
}

void ClearCommandTable() {
  std::free(commands);
  commands = nullptr;
  command_count = command_capacity = 0;
}
