// Code page 932 through iconv.
#include <cerrno>
#include <iconv.h>
#include <vector>

#include "platform/text.h"

namespace {

// Converts `length` bytes at `in` from one code to another; false when any input does not convert.
bool Convert(const char* to, const char* from, const char* in, size_t length, std::string* out) {
  out->clear();
  if (length == 0) return true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<char> buffer(length * 4 + 16);
  char* in_at = const_cast<char*>(in);
  size_t in_left = length;
  char* out_at = buffer.data();
  size_t out_left = buffer.size();
  size_t result = iconv(cd, &in_at, &in_left, &out_at, &out_left);
  bool ok = result != static_cast<size_t>(-1) && in_left == 0;
  // Flush any shift state; a stateless code writes nothing here.
  if (ok) ok = iconv(cd, nullptr, nullptr, &out_at, &out_left) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (ok) out->assign(buffer.data(), buffer.size() - out_left);
  return ok;
}

}  // namespace

bool SjisToUtf16(const std::string& sjis, std::u16string* out) {
  std::string bytes;
  if (!Convert("UTF-16LE", "CP932", sjis.data(), sjis.size(), &bytes)) return false;
  out->clear();
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    out->push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         static_cast<uint8_t>(bytes[i + 1]) << 8));
  return true;
}

bool Utf16ToSjis(const std::u16string& text, std::string* out) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  if (!Convert("CP932", "UTF-16LE", bytes.data(), bytes.size(), out)) return false;
  // Two characters that share one Shift-JIS code would come back as the other: only a text that
  // comes back as itself has a Shift-JIS form.
  std::u16string back;
  return SjisToUtf16(*out, &back) && back == text;
}
