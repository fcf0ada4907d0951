#include "interp/commands.h"

#include <cstring>

#include "interp/arguments.h"
#include "interp/script_error.h"

// Every slot holds 256 bytes; a text in it has at most 255.
static const size_t kSlot = 256;

static size_t SlotLength(const char* slot) { return strnlen(slot, kSlot - 1); }

// StrSet,first,second: first := second. Both may be the same slot.
int32_t FuncStrSet(char* args) {
  char* first;
  char* second;
  int32_t result = ReadArguments("FuncStrSet", args, NewVar(&first), Value(&second));
  if (result < 0) return result;
  size_t length = SlotLength(second);
  std::memmove(first, second, length);
  first[length] = '\0';
  return kGoOn;
}

// StrCat,first,second: first := first followed by second, when both fit into 255 bytes. The
// second may be the first itself.
int32_t FuncStrCat(char* args) {
  char* first;
  char* second;
  int32_t result = ReadArguments("FuncStrCat", args, Value(&first), Value(&second));
  if (result < 0) return result;
  size_t head = SlotLength(first);
  size_t tail = SlotLength(second);
  if (head + tail > kSlot - 1) {
    ScriptErrorSet("FuncStrCat で文字列が長くなり過ぎます");
    return kFailed;
  }
  std::memmove(first + head, second, tail);
  first[head + tail] = '\0';
  return kGoOn;
}

// StrCmp,first,second,third: third := -1, 0 or 1 by unsigned byte order.
int32_t FuncStrCmp(char* args) {
  char* first;
  char* second;
  int32_t* order;
  int32_t result = ReadArguments("FuncStrCmp", args, Value(&first), Value(&second), NewVar(&order));
  if (result < 0) return result;
  int difference = std::strcmp(first, second);  // compares as unsigned char
  *order = difference < 0 ? -1 : difference > 0 ? 1 : 0;
  return kGoOn;
}

// StrSetn,position,text,byte: the byte of text at position := the first byte of the third text
// (its terminator when it is empty, which cuts text there). Only the bytes of the text itself can
// change: a position before it or at or behind its terminator leaves it as it was.
int32_t FuncStrSetn(char* args) {
  int32_t* position;
  char* text;
  char* byte;
  int32_t result = ReadArguments("FuncStrSetn", args, Value(&position), Value(&text), Value(&byte));
  if (result < 0) return result;
  if (*position < 0 || static_cast<size_t>(*position) >= SlotLength(text)) return kGoOn;
  text[*position] = byte[0];
  return kGoOn;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at `digits`, as a "%d" conversion reads it; values beyond the 32-bit range
// stay at its upper end.
static int32_t LeadingNumber(const char* digits) {
  int64_t value = 0;
  for (; IsDigit(*digits); ++digits) {
    value = value * 10 + (*digits - '0');
    if (value > INT32_MAX) value = INT32_MAX;
  }
  return static_cast<int32_t>(value);
}

// DividStr,source,head,prefix,number: cuts source at its first digit. number := the number from
// that digit on (-1 without a digit), prefix := the source up to the digit, head := its first
// byte; the source keeps only the part before the digit. The results come from a copy of the
// source, so that an output that names the source itself gets its part too.
int32_t FuncDividStr(char* args) {
  char* source;
  char* head;
  char* prefix;
  int32_t* number;
  int32_t result = ReadArguments("FuncDividStr", args, Value(&source), NewVar(&head),
                                 NewVar(&prefix), NewVar(&number));
  if (result < 0) return result;
  char copy[kSlot];
  size_t length = SlotLength(source);
  std::memcpy(copy, source, length);
  copy[length] = '\0';
  *number = -1;
  for (size_t i = 0; i < length; ++i) {
    if (!IsDigit(copy[i])) continue;
    *number = LeadingNumber(copy + i);
    copy[i] = '\0';
    source[i] = '\0';
    break;
  }
  length = std::strlen(copy);
  std::memcpy(prefix, copy, length + 1);
  head[0] = copy[0];
  head[length > 0 ? 1 : 0] = '\0';
  return kGoOn;
}
