// The command handlers' side of the interpreter: the argument checks that every handler makes,
// with its own messages, and (interp/handler_result.h) what a handler answers.
#ifndef KELVADO_INTERP_ARGUMENTS_H
#define KELVADO_INTERP_ARGUMENTS_H

#include <cstdint>
#include <type_traits>

#include "interp/handler_result.h"

// --- The argument checks ---
//
// A handler reads all its arguments with one call of ReadArguments, one code per argument:
//
//   int32_t* variable;
//   int32_t* value;
//   int32_t result = ReadArguments("FuncIValSet", args, NewVar(&variable), Value(&value));
//   if (result < 0) return result;
//   *variable = *value;
//
// Each code names the handler's pointer that receives the address of the value (a LiteralSlots
// entry or a slot of a VarRecord; writing through it changes the variable). The parser's type
// letter follows from the pointer's type: int32_t* is d (an integer), double* f (a real), char*
// s (a text of 256 bytes). The mode is chosen by the wrapper:
//   Value(&p)   mode n: a literal or the name of an existing variable;
//   NewVar(&p)  mode m: the same, but a name that is no variable yet creates one of p's type.
// The call above is the format "%dm %dn" of the parser; the format text is made from the codes,
// so a pointer of the wrong type for its code does not compile. The untyped form
// ReadArguments(handler, args, "%dm %dn", &variable, &value) no longer exists: write the codes
// as Value/NewVar in the order of the old format's codes.

// One code of a handler's arguments; made only by Value and NewVar.
class ArgumentCode {
 public:
  char type() const { return type_; }
  char mode() const { return mode_; }
  void* output() const { return output_; }

 private:
  ArgumentCode(char type, char mode, void* output) : type_(type), mode_(mode), output_(output) {}
  friend ArgumentCode Value(int32_t** out);
  friend ArgumentCode Value(double** out);
  friend ArgumentCode Value(char** out);
  friend ArgumentCode NewVar(int32_t** out);
  friend ArgumentCode NewVar(double** out);
  friend ArgumentCode NewVar(char** out);
  char type_;
  char mode_;
  void* output_;
};

inline ArgumentCode Value(int32_t** out) { return ArgumentCode('d', 'n', out); }
inline ArgumentCode Value(double** out) { return ArgumentCode('f', 'n', out); }
inline ArgumentCode Value(char** out) { return ArgumentCode('s', 'n', out); }
inline ArgumentCode NewVar(int32_t** out) { return ArgumentCode('d', 'm', out); }
inline ArgumentCode NewVar(double** out) { return ArgumentCode('f', 'm', out); }
inline ArgumentCode NewVar(char** out) { return ArgumentCode('s', 'm', out); }

// The most codes one command reads (the outlined text commands read 14).
const int32_t kMaxArgumentCodes = 16;

// Parses `args` with the parser, codes in order. 0 when every code was converted; the parser's
// -1 or -2 unchanged (its message stands); -1 after "<handler> の引数が間違っています(<args>)"
// for any other count, with the argument text as it was before the parser cut it up. `handler`
// is the name used in messages, "Func" and the command's name ("FuncIf").
int32_t ReadArgumentCodes(const char* handler, char* args, const ArgumentCode* codes,
                          int32_t count);

template <typename... Codes>
int32_t ReadArguments(const char* handler, char* args, Codes... codes) {
  static_assert((std::is_same<Codes, ArgumentCode>::value && ...),
                "ReadArguments takes one Value(&p) or NewVar(&p) per argument, no format text: "
                "see interp/arguments.h");
  static_assert(sizeof...(Codes) > 0 && sizeof...(Codes) <= kMaxArgumentCodes,
                "between 1 and kMaxArgumentCodes codes");
  const ArgumentCode list[] = {codes...};
  return ReadArgumentCodes(handler, args, list, static_cast<int32_t>(sizeof...(Codes)));
}

// For commands that take no arguments: 0 when the line has no argument text at all, else -1
// after "<handler> に引数(<args>)があります" (a trailing comma with nothing behind it counts).
int32_t RejectArguments(const char* handler, const char* args);

#endif
