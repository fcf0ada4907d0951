// ScriptError: the interpreter's error text, shown in the box captioned kScriptErrorCaption.
//
// A failing handler or the argument parser replaces it with its message; the loader and the
// section runner append theirs behind it. Nothing else empties it. Texts that do not fit are cut.
#ifndef KELVADO_INTERP_SCRIPT_ERROR_H
#define KELVADO_INTERP_SCRIPT_ERROR_H

#include <cstddef>
#include <cstdint>

#include "platform/window.h"

// Caption and styles of the box that shows ScriptError (and the other errors that end the
// program before the script runs, such as a failed off-screen image).
const char kScriptErrorCaption[] = "KELVADO.INI ERROR!";
const uint32_t kScriptErrorStyle = kMbSystemModal | kMbIconError;

const size_t kScriptErrorSize = 2048;
extern char ScriptError[kScriptErrorSize];

void ScriptErrorSet(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ScriptErrorAppend(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ScriptErrorClear();

#endif
