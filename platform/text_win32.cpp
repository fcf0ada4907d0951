// Code page 932 through the system's conversion functions.
#include <windows.h>
#include <vector>

#include "platform/text.h"

static const UINT kCodePage = 932;

bool SjisToUtf16(const std::string& sjis, std::u16string* out) {
  out->clear();
  if (sjis.empty()) return true;
  int length = static_cast<int>(sjis.size());
  std::vector<wchar_t> wide(sjis.size() + 1);
  int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, sjis.data(), length, wide.data(),
                              static_cast<int>(wide.size()));
  if (n <= 0) return false;
  for (int i = 0; i < n; ++i) out->push_back(static_cast<char16_t>(wide[i]));
  return true;
}

bool Utf16ToSjis(const std::u16string& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  std::vector<wchar_t> wide(text.begin(), text.end());
  std::vector<char> bytes(text.size() * 2 + 1);
  BOOL used_default = FALSE;
  int n = WideCharToMultiByte(kCodePage, 0, wide.data(), static_cast<int>(wide.size()),
                              bytes.data(), static_cast<int>(bytes.size()), nullptr, &used_default);
  if (n <= 0 || used_default) return false;
  out->assign(bytes.data(), static_cast<size_t>(n));
  // A best-fit mapping (another character that looks alike) is no Shift-JIS form of the text.
  std::u16string back;
  return SjisToUtf16(*out, &back) && back == text;
}
