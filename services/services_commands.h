// The services' table of their commands: directories and aliases, logging and the message
// commands, the cursor and timed waits, the debug window, started programs and the exit commands.
#ifndef KELVADO_SERVICES_SERVICES_COMMANDS_H
#define KELVADO_SERVICES_SERVICES_COMMANDS_H

#include "interp/command_table.h"

// In the order the services contribute them.
extern const CommandEntry kServicesCommands[];

#endif
