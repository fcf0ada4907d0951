// ScriptError: the interpreter's error text, shown in the box captioned "KELVADO.INI ERROR!".
//
// A failing handler or the argument parser replaces it with its message; the loader and the
// section runner append theirs behind it. Nothing else empties it. Texts that do not fit are cut.
#ifndef KELVADO_INTERP_SCRIPT_ERROR_H
#define KELVADO_INTERP_SCRIPT_ERROR_H

#include <cstddef>

const size_t kScriptErrorSize = 2048;
extern char ScriptError[kScriptErrorSize];

void ScriptErrorSet(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ScriptErrorAppend(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ScriptErrorClear();

#endif
