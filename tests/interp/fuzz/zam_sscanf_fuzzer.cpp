// Fuzzes the argument parser: the first bytes choose a format of up to eight codes (any type and
// mode letters, including wrong ones), the rest is the argument text. Checks that every value
// handed out is terminated inside its 256 bytes and that the shared texts stay terminated.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/var_table.h"
#include "interp/zam_value.h"

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char kTypes[] = "dfsx";
  static const char kModes[] = "nmq";
  // Byte 0: number of codes (0-8); then one byte per code: type and mode.
  if (size == 0) return 0;
  size_t codes = data[0] % 9;
  if (size < 1 + codes) return 0;
  char format[4 * 8 + 1] = "";
  char types[8];
  for (size_t i = 0; i < codes; ++i) {
    uint8_t b = data[1 + i];
    types[i] = kTypes[b & 3];
    char code[4] = {'%', types[i], kModes[(b >> 2) % 3], ' '};
    std::strncat(format, code, 4);
  }
  // The argument text: at most 1023 bytes, like the line executor's work buffer.
  size_t length = size - 1 - codes;
  if (length > 1023) length = 1023;
  char text[1024];
  std::memcpy(text, data + 1 + codes, length);
  text[length] = '\0';

  void* outputs[8] = {};
  TraceLineStart("fuzz", 1);
  int32_t result = zam_sscanf(text, format, &outputs[0], &outputs[1], &outputs[2], &outputs[3],
                              &outputs[4], &outputs[5], &outputs[6], &outputs[7]);
  Check(result >= -2);
  Check(result < 0 || static_cast<size_t>(result) == codes);
  size_t converted = result < 0 ? 0 : static_cast<size_t>(result);
  for (size_t i = 0; i < converted; ++i) {
    Check(outputs[i] != nullptr);
    if (types[i] == 's') Check(strnlen(static_cast<char*>(outputs[i]), 256) < 256);
  }
  Check(strnlen(TraceLine, sizeof TraceLine) < sizeof TraceLine);
  Check(strnlen(ScriptError, sizeof ScriptError) < sizeof ScriptError);
  if (VarCount() > 1000) VarTableRelease();
  return 0;
}
