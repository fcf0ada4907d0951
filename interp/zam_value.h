// zam_sscanf: the argument parser of every command handler, with its literal storage.
//
// The format is a list of codes "%" type mode: type d (integer), f (real) or s (string); mode n
// (a literal or an existing variable) or m (a name that is not yet a variable creates one of the
// code's type). Characters between codes are skipped. For each code the caller passes the address
// of a pointer that receives the value's address: int32_t** for d, double** for f, char** for s
// (a text of 256 bytes). The value is a LiteralSlots entry or a slot of a VarRecord; writing
// through it changes the variable when the slot is of the variable's own kind.
//
// Command handlers never call these directly: they use ReadArguments (interp/arguments.h), which
// makes the format from typed codes. zam_sscanf itself, with any format text, is for the
// parser's own tests and fuzzer.
#ifndef KELVADO_INTERP_ZAM_VALUE_H
#define KELVADO_INTERP_ZAM_VALUE_H

#include <cstdint>

const int kLiteralSlots = 10;

// The values of literal arguments, reused by every call.
struct LiteralStore {
  int32_t integers[kLiteralSlots];
  double reals[kLiteralSlots];
  char texts[kLiteralSlots][256];
};
extern LiteralStore LiteralSlots;

// Splits `text` (cut up in place; nullptr when the line has no argument text) by `format`.
// Returns the number of codes converted, which on success is the number of codes in the format;
// -1 when the text is absent or runs out, or an argument names no usable variable; -2 for a bad
// type or mode letter, more than 10 literals of one kind, or a variable that cannot be created.
// On a negative result the message is in ScriptError and the outputs of later codes are
// untouched. Arguments beyond the format are ignored.
int32_t zam_sscanf(char* text, const char* format, ...);
// The same with the outputs in an array, one per code (the int32_t**, double** or char** that
// the code's type asks for): what ReadArguments calls.
int32_t zam_sscanf_outputs(char* text, const char* format, void* const outputs[]);

#endif
