// The wizard's table of its commands: the adapter and target commands and StartDialog.
#ifndef KELVADO_WIZARD_WIZARD_COMMANDS_H
#define KELVADO_WIZARD_WIZARD_COMMANDS_H

#include "interp/command_table.h"

// In the order the wizard contributes them.
extern const CommandEntry kWizardCommands[];

#endif
