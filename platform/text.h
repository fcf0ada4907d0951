// The system's text: byte texts in the system code page (Shift-JIS, code page 932) held in fixed
// buffers, and their conversion to and from UTF-16, the text of long names on a FAT volume.
//
// Every copy into a fixed buffer goes through these functions: a text that does not fit is cut,
// never overrun, and the cut never splits a double-byte character.
#ifndef KELVADO_PLATFORM_TEXT_H
#define KELVADO_PLATFORM_TEXT_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

// True for the first byte of a Shift-JIS double-byte character.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

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

// The conversions: natively with iconv (text_native.cpp), in kelvado.exe with the system's code
// page functions (text_win32.cpp).
// `sjis` as UTF-16; false when a byte or pair has no Unicode form (`out` is then undefined).
bool SjisToUtf16(const std::string& sjis, std::u16string* out);
// `text` as Shift-JIS; false when a character has no Shift-JIS form.
bool Utf16ToSjis(const std::u16string& text, std::string* out);

#endif
