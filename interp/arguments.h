// The argument checks that every command handler makes, with the handler's own messages.
#ifndef KELVADO_INTERP_ARGUMENTS_H
#define KELVADO_INTERP_ARGUMENTS_H

#include <cstdint>

// Parses `args` with zam_sscanf. 0 when every code of `format` was converted; the parser's -1 or
// -2 unchanged (its message stands); -1 after "<handler> の引数が間違っています(<args>)" for
// any other count, with the argument text as it was before the parser cut it up. `handler` is
// the name used in messages, "Func" and the command's name ("FuncIf").
int32_t ReadArguments(const char* handler, char* args, const char* format, ...);

// For commands that take no arguments: 0 when the line has no argument text at all, else -1
// after "<handler> に引数(<args>)があります" (a trailing comma with nothing behind it counts).
int32_t RejectArguments(const char* handler, const char* args);

#endif
