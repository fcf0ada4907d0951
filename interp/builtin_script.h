// BuiltInScript: the script compiled into the program, 66 lines numbered from 1. Its name in
// messages is "KELVADO.INI", although no such file is ever read.
#ifndef KELVADO_INTERP_BUILTIN_SCRIPT_H
#define KELVADO_INTERP_BUILTIN_SCRIPT_H

#include <cstdint>

extern const int32_t kBuiltInScriptLines;

// Line n of the script, or nullptr when there is no such line.
const char* BuiltInScript(int32_t n);

#endif
