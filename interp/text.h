// Byte texts in the system code page (Shift-JIS) held in fixed buffers.
//
// Every copy into a fixed buffer goes through these functions: a text that does not fit is cut,
// never overrun, and the cut never splits a double-byte character.
#ifndef KELVADO_INTERP_TEXT_H
#define KELVADO_INTERP_TEXT_H

#include <cstdarg>
#include <cstddef>

// True for the first byte of a Shift-JIS double-byte character.
bool IsLeadByte(unsigned char c);

// How many of the first `length` bytes of `text` fit into `room` bytes without splitting a
// double-byte character.
size_t TextFit(const char* text, size_t length, size_t room);

// Copies `text` into `out` (`size` bytes, terminator included), cut to fit.
void TextCopy(char* out, size_t size, const char* text);
// Appends `text` to the text already in `out`, cut to fit.
void TextAppend(char* out, size_t size, const char* text);
// printf-style formatting into `out`, replacing (TextFormat) or appending (TextAppendFormat).
void TextFormat(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void TextAppendFormat(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void TextAppendFormatV(char* out, size_t size, const char* format, va_list args);

#endif
