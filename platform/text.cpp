#include "platform/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

size_t TextFit(const char* text, size_t length, size_t room) {
  if (length <= room) return length;
  size_t fit = 0;
  while (fit < room) {
    size_t step = IsLeadByte(static_cast<unsigned char>(text[fit])) ? 2 : 1;
    if (fit + step > room) break;
    fit += step;
  }
  return fit;
}

void TextAppend(char* out, size_t size, const char* text) {
  if (size == 0) return;
  size_t used = strnlen(out, size - 1);
  size_t n = TextFit(text, std::strlen(text), size - 1 - used);
  std::memcpy(out + used, text, n);
  out[used + n] = '\0';
}

void TextCopy(char* out, size_t size, const char* text) {
  if (size == 0) return;
  out[0] = '\0';
  TextAppend(out, size, text);
}

// Formats into a buffer of its own, so that `out` may also be one of the arguments.
void TextAppendFormatV(char* out, size_t size, const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length < 0) return;
  char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
  if (text == nullptr) return;
  std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
  TextAppend(out, size, text);
  std::free(text);
}

void TextAppendFormat(char* out, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  TextAppendFormatV(out, size, format, args);
  va_end(args);
}

void TextFormat(char* out, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  char* text = length < 0 ? nullptr : static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
  if (text != nullptr) std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
  va_end(args);
  TextCopy(out, size, text != nullptr ? text : "");
  std::free(text);
}
