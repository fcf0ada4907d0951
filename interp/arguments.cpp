#include "interp/arguments.h"

#include "interp/script_error.h"
#include "interp/zam_value.h"
#include "platform/text.h"

int32_t ReadArgumentCodes(const char* handler, char* args, const ArgumentCode* codes,
                          int32_t count) {
  // The format the codes spell, "%dm %dn ...", as the parser's messages show it.
  char format[4 * kMaxArgumentCodes] = "";
  void* outputs[kMaxArgumentCodes];
  if (count > kMaxArgumentCodes) count = kMaxArgumentCodes;
  char* letter = format;
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) *letter++ = ' ';
    *letter++ = '%';
    *letter++ = codes[i].type();
    *letter++ = codes[i].mode();
    outputs[i] = codes[i].output();
  }
  *letter = '\0';
  // The line executor's work buffer holds 1024 bytes.
  char whole[1024] = "";
  if (args != nullptr) TextCopy(whole, sizeof whole, args);
  int32_t result = zam_sscanf_outputs(args, format, outputs);
  if (result == kFailed || result == kFormatError) return result;
  if (result == count) return kGoOn;
  ScriptErrorSet("%s の引数が間違っています(%s)", handler, whole);
  return kFailed;
}

int32_t RejectArguments(const char* handler, const char* args) {
  if (args == nullptr) return kGoOn;
  ScriptErrorSet("%s に引数(%s)があります", handler, args);
  return kFailed;
}
