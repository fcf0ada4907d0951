#include "app/builtin_script.h"


const ScriptSource ProgramScript = BuiltInScript;
