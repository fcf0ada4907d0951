// Short names and long-name entries, made as Windows 95/98 makes them.
#include "fat/names.h"

#include <cstring>

#include "fat/dir_entry.h"
#include "fat/tree.h"
#include "platform/text.h"

char16_t ShortNameUpper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);  // full-width Latin
  if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return static_cast<char16_t>(c - 0x20);  // Greek
  if (c == 0x03C2) return 0x03A3;  // final sigma
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);  // Cyrillic
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  return c;
}

bool SameLongName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (ShortNameUpper(a[i]) != ShortNameUpper(b[i])) return false;
  return true;
}

std::string LongNameProblem(const std::u16string& name) {
  if (name.empty()) return "an empty name";
  if (name == u"." || name == u"..") return "the name . or ..";
  if (name.size() > kMaxLongNameUnits) return "a name longer than 255 characters";
  for (char16_t c : name) {
    if (c < 0x20) return "a control character in the name";
    if (std::u16string(u"\\/:*?\"<>|").find(c) != std::u16string::npos)
      return "a character Windows does not allow in names (\\ / : * ? \" < > |)";
  }
  if (name.back() == u' ' || name.back() == u'.') return "a name ending in a space or a period";
  return "";
}

namespace {

// A Shift-JIS double-byte character's second byte.
bool IsTrailByte(uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The lower-case letters of Shift-JIS's double-byte characters, those ShortNameUpper changes:
// full-width Latin, Greek and Cyrillic.
bool IsLowerDoubleByte(uint8_t lead, uint8_t trail) {
  return (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) ||
         (lead == 0x83 && trail >= 0xBF && trail <= 0xD6) ||
         (lead == 0x84 && trail >= 0x70 && trail <= 0x91);
}

}  // namespace

std::string DeviceName(const std::u16string& name) {
  // The part before the first period, its trailing blanks dropped, decides.
  size_t end = name.find(u'.');
  if (end == std::u16string::npos) end = name.size();
  while (end > 0 && name[end - 1] == u' ') --end;
  std::string base;
  for (size_t i = 0; i < end; ++i) {
    char16_t c = ShortNameUpper(name[i]);
    if (c >= 0x80 || base.size() > 6) return "";
    base.push_back(static_cast<char>(c));
  }
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$"})
    if (base == device) return base;
  if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
      base[3] >= '1' && base[3] <= '9')
    return base;
  return "";
}

std::string ShortNameProblem(const uint8_t name[11]) {
  bool lower = false, control = false, del = false, special = false, forbidden = false,
       no_text = false, high = false;
  for (int part = 0; part < 2; ++part) {
    const int start = part == 0 ? 0 : 8, end = part == 0 ? 8 : 11;
    for (int i = start; i < end; ++i) {
      const uint8_t b = name[i];
      if (IsLeadByte(b) && i + 1 < end && IsTrailByte(name[i + 1])) {
        lower = lower || IsLowerDoubleByte(b, name[i + 1]);
        high = true;
        ++i;
        continue;
      }
      if (b < 0x20) {
        control = true;
      } else if (b == 0x7F) {
        del = true;
      } else if (b >= 'a' && b <= 'z') {
        lower = true;
      } else if (std::strchr("+,;=[]", b) != nullptr) {
        special = true;
      } else if (std::strchr("\"*/:<>?\\|.", b) != nullptr) {
        forbidden = true;
      } else if (b >= 0x80 && !(b >= 0xA1 && b <= 0xDF)) {
        no_text = true;  // a lead byte without its second byte, or no character's first byte
      } else if (b >= 0x80) {
        high = true;
      }
    }
  }
  // Double-byte characters in the Shift-JIS ranges may still be codes no character has.
  std::u16string unused;
  if (high && !no_text && !SjisToUtf16(ShortNameText(name), &unused)) no_text = true;
  std::string problem;
  auto add = [&problem](bool found, const char* what) {
    if (found) problem += (problem.empty() ? "" : ", ") + std::string(what);
  };
  add(name[0] == ' ', "a blank first byte");
  add(lower, "lower-case letters");
  add(control, "control bytes");
  add(del, "DEL (7Fh)");
  add(special, "one of + , ; = [ ]");
  add(forbidden, "one of \\ / : * ? \" < > | .");
  add(no_text, "bytes that are no Shift-JIS character");
  return problem;
}

std::u16string NameOfShortEntry(const uint8_t name[11], uint8_t nt_case) {
  const std::string text = ShortNameText(name, nt_case);
  std::u16string out;
  if (!SjisToUtf16(text, &out)) {
    // Character by character: only those without a Unicode form are lost.
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
      const uint8_t b = static_cast<uint8_t>(text[i]);
      const size_t length =
          IsLeadByte(b) && i + 1 < text.size() && IsTrailByte(static_cast<uint8_t>(text[i + 1]))
              ? 2 : 1;
      std::u16string one;
      if (SjisToUtf16(text.substr(i, length), &one) && one.size() == 1)
        out += one;
      else
        out.push_back(0xFFFD);
      i += length - 1;
    }
  }
  if (out.empty()) out.push_back(u'_');
  return out;
}

std::string MakeLabel(const std::u16string& text, uint8_t label[11]) {
  std::memset(label, ' ', 11);
  if (text.empty()) return "it is empty";
  std::u16string upper;
  for (char16_t c : text) upper.push_back(ShortNameUpper(c));
  std::string sjis;
  if (!Utf16ToSjis(upper, &sjis)) return "it cannot be written in Shift-JIS";
  if (sjis.size() > 11) return "it is longer than the 11 bytes of a label in Shift-JIS";
  if (sjis[0] == ' ') return "it starts with a blank";
  for (size_t i = 0; i < sjis.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(sjis[i]);
    if (IsLeadByte(b) && i + 1 < sjis.size()) {
      ++i;
      continue;
    }
    if (b < 0x20 || b == 0x7F || std::strchr("*?.,;:/\\|+=<>[]\"", b) != nullptr)
      return "it holds characters a label cannot hold (control bytes, DEL, * ? . , ; : / \\ | + = < > [ ] \")";
  }
  std::memcpy(label, sjis.data(), sjis.size());
  return "";
}

std::string LabelText(const uint8_t label[11]) {
  size_t end = 11;
  while (end > 0 && label[end - 1] == ' ') --end;
  std::u16string text;
  if (!SjisToUtf16(std::string(reinterpret_cast<const char*>(label), end), &text)) return "?";
  return Utf8FromUtf16(text);
}

namespace {

// One character of the name on its way to a short name: its Shift-JIS bytes (1 or 2).
struct NameChar {
  uint8_t bytes[2];
  uint8_t length;
  bool period() const { return length == 1 && bytes[0] == '.'; }
  bool space() const { return length == 1 && bytes[0] == ' '; }
};

bool ShortNameAllows(uint8_t byte) {
  return byte >= 0x20 && byte != 0x7F && std::strchr("+,;=[]\"*/:<>?\\|", byte) == nullptr;
}

// Copies characters from [from, to) into `out` while they fit in `room` bytes; returns the bytes
// used and whether every character fitted.
size_t CopyPart(const std::vector<NameChar>& chars, size_t from, size_t to, uint8_t* out,
                size_t room, bool* all) {
  size_t used = 0;
  *all = true;
  for (size_t i = from; i < to; ++i) {
    if (used + chars[i].length > room) {
      *all = false;
      break;
    }
    std::memcpy(out + used, chars[i].bytes, chars[i].length);
    used += chars[i].length;
  }
  return used;
}

}  // namespace

BasisName MakeBasisName(const std::u16string& long_name) {
  BasisName basis;
  std::memset(basis.name, ' ', sizeof basis.name);
  bool lossy = false;
  // Upper case, then each character in Shift-JIS; one without a form, or one a short name
  // cannot hold, becomes '_'. A surrogate pair is one character.
  std::vector<NameChar> chars;
  for (size_t i = 0; i < long_name.size(); ++i) {
    char16_t c = ShortNameUpper(long_name[i]);
    std::u16string one(1, c);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < long_name.size()) one.push_back(long_name[++i]);
    std::string sjis;
    NameChar nc = {{'_', 0}, 1};
    if (c < 0x80) {
      sjis.assign(1, static_cast<char>(c));  // ASCII is itself in Shift-JIS
    } else if (!Utf16ToSjis(one, &sjis)) {
      sjis.clear();
    }
    if (!sjis.empty() && (sjis.size() == 1 || sjis.size() == 2) &&
        ShortNameAllows(static_cast<uint8_t>(sjis[0])) && (sjis.size() == 2 || sjis[0] != 0)) {
      nc.length = static_cast<uint8_t>(sjis.size());
      std::memcpy(nc.bytes, sjis.data(), sjis.size());
    } else {
      lossy = true;
    }
    chars.push_back(nc);
  }
  // Spaces anywhere and periods at the start are dropped.
  bool dropped = false;
  std::vector<NameChar> kept;
  for (const NameChar& nc : chars) {
    if (nc.space() || (kept.empty() && nc.period())) {
      dropped = true;
      continue;
    }
    kept.push_back(nc);
  }
  size_t last_period = kept.size();
  size_t periods = 0;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].period()) {
      last_period = i;
      ++periods;
    }
  }
  // The first part runs to the first period; the extension follows the last one.
  size_t first_end = 0;
  while (first_end < kept.size() && !kept[first_end].period()) ++first_end;
  bool first_whole, extension_whole = true;
  size_t first_used = CopyPart(kept, 0, first_end, basis.name, 8, &first_whole);
  if (last_period < kept.size())
    CopyPart(kept, last_period + 1, kept.size(), basis.name + 8, 3, &extension_whole);
  if (first_used == 0) {
    basis.name[0] = '_';
    lossy = true;
  }
  basis.needs_tail = lossy || dropped || periods > 1 || !first_whole || !extension_whole ||
                     (periods == 1 && last_period != first_end);
  std::string as_sjis;
  basis.plain = !basis.needs_tail && Utf16ToSjis(long_name, &as_sjis) &&
                as_sjis == ShortNameText(basis.name);
  return basis;
}

void WithNumericTail(const uint8_t basis[11], uint32_t n, uint8_t out[11]) {
  char tail[12];
  int tail_length = 0;
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n > 0 && count < 9);
  tail[tail_length++] = '~';
  while (count > 0) tail[tail_length++] = digits[--count];
  std::memcpy(out, basis, 11);
  // The first part, cut so the tail fits in 8 bytes; a double-byte character stays whole.
  size_t room = 8 - static_cast<size_t>(tail_length);
  size_t used = 0;
  while (used < 8 && basis[used] != ' ') {
    size_t length = IsLeadByte(basis[used]) && used + 1 < 8 ? 2 : 1;
    if (used + length > room) break;
    used += length;
  }
  std::memset(out, ' ', 8);
  std::memcpy(out, basis, used);
  std::memcpy(out + used, tail, static_cast<size_t>(tail_length));
}

bool ChooseShortName(const BasisName& basis,
                     const std::function<bool(const uint8_t name[11])>& taken, uint8_t out[11],
                     uint32_t* next_tail) {
  if (!basis.needs_tail && !taken(basis.name)) {
    std::memcpy(out, basis.name, 11);
    return true;
  }
  for (uint32_t n = next_tail != nullptr && *next_tail > 1 ? *next_tail : 1; n <= 999999; ++n) {
    WithNumericTail(basis.name, n, out);
    if (taken(out)) continue;
    if (next_tail != nullptr) *next_tail = n;
    return true;
  }
  if (next_tail != nullptr) *next_tail = 1000000;
  return false;
}

void StoreShortName(const uint8_t name[11], uint8_t stored[11]) {
  std::memcpy(stored, name, 11);
  if (stored[0] == kDirDeleted) stored[0] = kDirE5Stored;
}

void LoadShortName(const uint8_t stored[11], uint8_t name[11]) {
  std::memcpy(name, stored, 11);
  if (name[0] == kDirE5Stored) name[0] = kDirDeleted;
}

uint8_t ShortNameChecksum(const uint8_t stored[11]) {
  uint8_t sum = 0;
  for (int i = 0; i < 11; ++i)
    sum = static_cast<uint8_t>(((sum & 1) ? 0x80 : 0) + (sum >> 1) + stored[i]);
  return sum;
}

void AppendLongNameEntries(const std::u16string& name, uint8_t checksum,
                           std::vector<uint8_t>* out) {
  const uint32_t count = LongNameEntryCount(name.size());
  for (uint32_t k = count; k >= 1; --k) {
    uint8_t entry[kDirEntryBytes] = {};
    entry[0] = static_cast<uint8_t>(k | (k == count ? kLastLongEntry : 0));
    entry[11] = kAttrLongName;
    entry[13] = checksum;
    for (uint32_t i = 0; i < kLongNameUnitsPerEntry; ++i) {
      size_t at = (k - 1) * kLongNameUnitsPerEntry + i;
      // The name, its terminating 0000h when there is room, then FFFFh.
      uint32_t unit = at < name.size() ? name[at] : at == name.size() ? 0x0000 : 0xFFFF;
      PutLe16(entry + LongNameUnitOffset(i), unit);
    }
    out->insert(out->end(), entry, entry + kDirEntryBytes);
  }
}

std::string ShortNameText(const uint8_t name[11], uint8_t nt_case) {
  std::string text;
  auto append = [&text](const uint8_t* part, size_t length, bool lower) {
    size_t end = length;
    while (end > 0 && part[end - 1] == ' ') --end;
    for (size_t i = 0; i < end; ++i) {
      uint8_t b = part[i];
      if (IsLeadByte(b) && i + 1 < end) {
        text.push_back(static_cast<char>(b));
        text.push_back(static_cast<char>(part[++i]));
        continue;
      }
      if (lower && b >= 'A' && b <= 'Z') b = static_cast<uint8_t>(b + 0x20);
      text.push_back(static_cast<char>(b));
    }
  };
  append(name, 8, (nt_case & 0x08) != 0);
  size_t extension = 3;
  while (extension > 0 && name[8 + extension - 1] == ' ') --extension;
  if (extension > 0) {
    text.push_back('.');
    append(name + 8, 3, (nt_case & 0x10) != 0);
  }
  return text;
}
