// The loader: turns the script into the SectionTable, once, at start-up, cleaning every line.
#ifndef KELVADO_INTERP_LOADER_H
#define KELVADO_INTERP_LOADER_H

#include <cstdint>

// Gives line n of a script (n from 1), or nullptr when there is no line n.
typedef const char* (*ScriptSource)(int32_t n);

// Loads the script that `source` gives (the program's built-in one, or a file the script tool
// read). 0 on success; -1 after appending the message to ScriptError.
int32_t LoadScriptFrom(ScriptSource source);

// CleanLine: the cleaning that the loader and the line executor apply to every script line.

// Longest line, in bytes, that cleaning keeps.
const int kLineLimit = 255;

// Cleans `line` in place: reads at most 255 bytes; a zero byte or ";" ends the line (even inside
// double quotes); outside double quotes white space is dropped. The result is never longer than
// the input, and cleaning it again changes nothing.
void CleanLine(char* line);

#endif
