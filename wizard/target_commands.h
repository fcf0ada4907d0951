// The commands about the target: TgetDrvFileExist asks before a card that already holds files is
// overwritten; Xcopy copies a drive's files onto another after asking.
#ifndef KELVADO_WIZARD_TARGET_COMMANDS_H
#define KELVADO_WIZARD_TARGET_COMMANDS_H

#include <cstdint>

int32_t FuncTgetDrvFileExist(char* args);
int32_t FuncXcopy(char* args);

#endif
