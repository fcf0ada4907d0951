#include "interp/commands.h"

#include "interp/arguments.h"
#include "interp/formats.h"
#include "platform/text.h"

// The text is made in a buffer of its own (the target may be the format's own slot) and cut to
// the 255 bytes of the target without splitting a double-byte character. A format that the
// formatters refuse gives the empty text; the command still succeeds.
static const size_t kSlot = 256;

// IValToStr,value,format,text: text := format applied to the integer value, as wsprintfA does.
int32_t FuncIValToStr(char* args) {
  int32_t* value;
  char* format;
  char* text;
  int32_t result =
      ReadArguments("FuncIValToStr", args, Value(&value), Value(&format), NewVar(&text));
  if (result < 0) return result;
  char made[2 * kSlot];
  FormatInteger(made, sizeof made, format, *value);
  TextCopy(text, kSlot, made);
  return kGoOn;
}

// FValToStr,value,format,text: text := format applied to the real value, as printf does.
int32_t FuncFValToStr(char* args) {
  double* value;
  char* format;
  char* text;
  int32_t result =
      ReadArguments("FuncFValToStr", args, Value(&value), Value(&format), NewVar(&text));
  if (result < 0) return result;
  char made[2 * kSlot];
  FormatReal(made, sizeof made, format, *value);
  TextCopy(text, kSlot, made);
  return kGoOn;
}
