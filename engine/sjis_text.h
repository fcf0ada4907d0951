// Shift-JIS (code page 932), the system's text, and UTF-16, the text of long names on a FAT
// volume. Implemented by the platform (sjis_text_native.cpp with iconv, sjis_text_win32.cpp with
// the system's code page functions).
#ifndef KELVADO_ENGINE_SJIS_TEXT_H
#define KELVADO_ENGINE_SJIS_TEXT_H

#include <cstdint>
#include <string>

// True for the first byte of a double-byte Shift-JIS character.
inline bool IsSjisLeadByte(uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// `sjis` as UTF-16; false when a byte or pair has no Unicode form (`out` is then undefined).
bool SjisToUtf16(const std::string& sjis, std::u16string* out);
// `text` as Shift-JIS; false when a character has no Shift-JIS form.
bool Utf16ToSjis(const std::u16string& text, std::string* out);

#endif
