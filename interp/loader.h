// LoadScript: turns the script into the SectionTable, once, at start-up.
#ifndef KELVADO_INTERP_LOADER_H
#define KELVADO_INTERP_LOADER_H

#include <cstdint>

// Gives line n of a script (n from 1), or nullptr when there is no line n.
typedef const char* (*ScriptSource)(int32_t n);

// Loads the BuiltInScript. 0 on success; -1 after appending the message to ScriptError.
int32_t LoadScript();
// The same from another source (the script tool loads a file in place of the BuiltInScript).
int32_t LoadScriptFrom(ScriptSource source);

#endif
