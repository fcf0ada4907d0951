// The script that the program runs. kelvado.exe runs BuiltInScript; the e2e tests build the same
// program around scripts of their own (kelvado_script_program in app/CMakeLists.txt).
#ifndef KELVADO_APP_PROGRAM_SCRIPT_H
#define KELVADO_APP_PROGRAM_SCRIPT_H

#include "interp/loader.h"

extern const ScriptSource ProgramScript;

#endif
