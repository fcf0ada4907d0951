#include "interp/zam_value.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "interp/exec.h"
#include "interp/handler_result.h"
#include "interp/script_error.h"
#include "interp/var_table.h"
#include "platform/text.h"

LiteralStore LiteralSlots;

// Messages name this unit and the check that failed.
static const char kUnit[] = "ZamValue";
enum Check {
  kCheckNoText = 1,
  kCheckLetters = 2,
  kCheckExhausted = 3,
  kCheckUnknownName = 4,
  kCheckWrongKind = 5,
  kCheckAppend = 6,
  kCheckTooManyLiterals = 7,
};

static int32_t NoText() {
  ScriptErrorSet("zam_sscanfで引数がありません:[%s](%d)", kUnit, kCheckNoText);
  return kFailed;
}

static int32_t FormatError(const char* format, int check, int32_t result) {
  ScriptErrorSet("zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%s):[%s](%d)", format, kUnit, check);
  return result;
}

static int32_t InvalidVariable(const char* name, int check) {
  ScriptErrorSet("無効な変数ｴﾗｰ(%s):[%s](%d)", name, kUnit, check);
  return kFailed;
}

static int32_t AppendError(const char* format) {
  ScriptErrorSet("zam_sscanfのAppendｴﾗｰ(%s):[%s](%d)", format, kUnit, kCheckAppend);
  return kFormatError;
}

// Takes the next argument at *position and terminates it; nullptr when there is none. A quoted
// argument runs from its opening to its closing quote, both included; whatever stands between
// the closing quote and the next comma is skipped, so the argument is always just the quoted
// text. An argument without its closing quote is no argument.
static char* NextArgument(char** position) {
  char* start = *position;
  if (*start == '\0') return nullptr;
  if (*start == '"') {
    char* close = std::strchr(start + 1, '"');
    if (close == nullptr) return nullptr;
    char* rest = close + 1;
    char* comma = std::strchr(rest, ',');
    *position = comma != nullptr ? comma + 1 : rest + std::strlen(rest);
    *rest = '\0';
    return start;
  }
  char* comma = std::strchr(start, ',');
  if (comma != nullptr) {
    *comma = '\0';
    *position = comma + 1;
  } else {
    *position = start + std::strlen(start);
  }
  return start;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "0x" and hexadecimal digits, kept as a 32-bit pattern (0xFFFFFFFF is -1; further digits push
// the first ones out). "0x" without a digit is 0.
static int32_t HexValue(const char* digits) {
  uint32_t value = 0;
  for (;; ++digits) {
    char c = *digits;
    uint32_t digit;
    if (IsDigit(c))
      digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<uint32_t>(c - 'A' + 10);
    else
      break;
    value = (value << 4) | digit;
  }
  return static_cast<int32_t>(value);
}

// As atoi: an optional minus, the leading digits, the rest ignored; values beyond the 32-bit
// range stay at its ends.
static int32_t DecimalValue(const char* text) {
  bool negative = *text == '-';
  if (negative) ++text;
  int64_t value = 0;
  for (; IsDigit(*text); ++text) {
    value = value * 10 + (*text - '0');
    if (value > 2147483648LL) value = 2147483648LL;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

// As atof, decimal only: [-]digits[.digits][e[+-]digits], the rest ignored.
static double RealValue(const char* text) {
  const char* end = text;
  if (*end == '-') ++end;
  while (IsDigit(*end)) ++end;
  if (*end == '.') {
    ++end;
    while (IsDigit(*end)) ++end;
  }
  if (*end == 'e' || *end == 'E') {
    const char* exponent = end + 1;
    if (*exponent == '+' || *exponent == '-') ++exponent;
    if (IsDigit(*exponent)) {
      end = exponent;
      while (IsDigit(*end)) ++end;
    }
  }
  char number[256];
  size_t length = static_cast<size_t>(end - text);
  if (length >= sizeof number) length = sizeof number - 1;
  std::memcpy(number, text, length);
  number[length] = '\0';
  return std::strtod(number, nullptr);
}

// A real truncated towards zero; values outside the 32-bit range stay at its ends, NaN is 0.
static int32_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The variable named by `name`, created for mode "m" when absent; nullptr after the message.
static VarRecord* Resolve(const char* name, char type, char mode, const char* format,
                          int32_t* result) {
  VarRecord* record = VarFind(name);
  if (record != nullptr) return record;
  if (mode == 'n') {
    *result = InvalidVariable(name, kCheckUnknownName);
    return nullptr;
  }
  int32_t added = type == 'd'   ? VarAddInteger(name, 0)
                  : type == 'f' ? VarAddReal(name, 0.0)
                                : VarAddString(name, "");
  record = added < 0 ? nullptr : VarFind(name);
  if (record == nullptr) *result = AppendError(format);
  return record;
}

struct Literals {
  int integers = 0;
  int reals = 0;
  int texts = 0;
};

static int32_t ConvertInteger(char* argument, char mode, const char* format, Literals* used,
                              int32_t** out) {
  if (IsDigit(argument[0]) || argument[0] == '-') {
    if (used->integers == kLiteralSlots)
      return FormatError(format, kCheckTooManyLiterals, kFormatError);
    int32_t* slot = &LiteralSlots.integers[used->integers++];
    *slot =
        argument[0] == '0' && argument[1] == 'x' ? HexValue(argument + 2) : DecimalValue(argument);
    *out = slot;
    return 0;
  }
  int32_t result = 0;
  VarRecord* record = Resolve(argument, 'd', mode, format, &result);
  if (record == nullptr) return result;
  if (record->kind == kVarReal)
    record->integer_value = Truncate(record->real_value);
  else if (record->kind != kVarInteger)
    return InvalidVariable(argument, kCheckWrongKind);
  *out = &record->integer_value;
  TraceLineAdd("%d ", static_cast<int>(record->integer_value));
  return 0;
}

static int32_t ConvertReal(char* argument, char mode, const char* format, Literals* used,
                           double** out) {
  if (IsDigit(argument[0]) || argument[0] == '-') {
    if (used->reals == kLiteralSlots)
      return FormatError(format, kCheckTooManyLiterals, kFormatError);
    double* slot = &LiteralSlots.reals[used->reals++];
    *slot = RealValue(argument);
    *out = slot;
    return 0;
  }
  int32_t result = 0;
  VarRecord* record = Resolve(argument, 'f', mode, format, &result);
  if (record == nullptr) return result;
  if (record->kind == kVarInteger)
    record->real_value = record->integer_value;
  else if (record->kind != kVarReal)
    return InvalidVariable(argument, kCheckWrongKind);
  *out = &record->real_value;
  TraceLineAdd("%lf ", record->real_value);
  return 0;
}

static int32_t ConvertString(char* argument, char mode, const char* format, Literals* used,
                             char** out) {
  if (argument[0] == '"') {
    if (used->texts == kLiteralSlots)
      return FormatError(format, kCheckTooManyLiterals, kFormatError);
    char* slot = LiteralSlots.texts[used->texts++];
    // The argument ends with its closing quote (NextArgument): drop both quotes.
    size_t length = std::strlen(argument) - 2;
    length = TextFit(argument + 1, length, 255);
    std::memcpy(slot, argument + 1, length);
    slot[length] = '\0';
    *out = slot;
    return 0;
  }
  int32_t result = 0;
  VarRecord* record = Resolve(argument, 's', mode, format, &result);
  if (record == nullptr) return result;
  if (record->kind != kVarString) return InvalidVariable(argument, kCheckWrongKind);
  *out = record->string_value;
  TraceLineAdd("%s ", record->string_value);
  return 0;
}

// Where the codes' outputs come from: the next entry of an array, or the next variadic argument.
struct Outputs {
  void* const* array;
  va_list* list;
};

template <typename T>
static T** NextOutput(Outputs* outputs) {
  if (outputs->array != nullptr) return static_cast<T**>(*outputs->array++);
  return va_arg(*outputs->list, T**);
}

static int32_t Scan(char* text, const char* format, Outputs* outputs) {
  if (text == nullptr) return NoText();
  char* position = text;
  Literals used;
  int32_t converted = 0;
  for (const char* code = format; *code != '\0'; ++code) {
    if (*code != '%') continue;
    char type = code[1];
    char mode = type != '\0' ? code[2] : '\0';
    if ((type != 'd' && type != 'f' && type != 's') || (mode != 'n' && mode != 'm'))
      return FormatError(format, kCheckLetters, kFormatError);
    code += 2;
    char* argument = NextArgument(&position);
    if (argument == nullptr) return FormatError(format, kCheckExhausted, kFailed);
    int32_t result;
    if (type == 'd')
      result = ConvertInteger(argument, mode, format, &used, NextOutput<int32_t>(outputs));
    else if (type == 'f')
      result = ConvertReal(argument, mode, format, &used, NextOutput<double>(outputs));
    else
      result = ConvertString(argument, mode, format, &used, NextOutput<char>(outputs));
    if (result < 0) return result;
    ++converted;
  }
  return converted;
}

int32_t zam_sscanf_outputs(char* text, const char* format, void* const outputs[]) {
  Outputs from{outputs, nullptr};
  return Scan(text, format, &from);
}

int32_t zam_sscanf(char* text, const char* format, ...) {
  va_list list;
  va_start(list, format);
  Outputs from{nullptr, &list};
  int32_t result = Scan(text, format, &from);
  va_end(list);
  return result;
}
