// The script the program runs. BuiltInScript: the script compiled into the program, 66 lines
// numbered from 1. Its name in messages is "KELVADO.INI", although no such file is ever read.
#ifndef KELVADO_APP_BUILTIN_SCRIPT_H
#define KELVADO_APP_BUILTIN_SCRIPT_H

#include <cstdint>

#include "interp/loader.h"

extern const int32_t kBuiltInScriptLines;

// Line n of the script, or nullptr when there is no such line.
const char* BuiltInScript(int32_t n);

// The script that the program runs. kelvado.exe runs BuiltInScript; the e2e tests build the same
// program around scripts of their own (kelvado_script_program in app/CMakeLists.txt).
extern const ScriptSource ProgramScript;

#endif
