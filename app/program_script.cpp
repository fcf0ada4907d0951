#include "app/program_script.h"

#include "interp/builtin_script.h"

const ScriptSource ProgramScript = BuiltInScript;
