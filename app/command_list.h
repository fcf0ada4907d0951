// Fills the CommandTable with every command of the program, in its fixed order.
#ifndef KELVADO_APP_COMMAND_LIST_H
#define KELVADO_APP_COMMAND_LIST_H

void FillCommandTable();

#endif
