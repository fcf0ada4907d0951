// Short names and long-name entries, made as Windows 95/98 makes them.
#include "engine/fat_names.h"

#include <cstring>

#include "engine/fat_dir_entry.h"
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

// One character of the name on its way to a short name: its Shift-JIS bytes (1 or 2).
struct NameChar {
  uint8_t bytes[2];
  uint8_t length;
  bool period() const { return length == 1 && bytes[0] == '.'; }
  bool space() const { return length == 1 && bytes[0] == ' '; }
};

bool ShortNameAllows(uint8_t byte) {
  // Besides these, control characters and the characters no long name holds never get here.
  return std::strchr("+,;=[]", byte) == nullptr || byte == 0;
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
    if (Utf16ToSjis(one, &sjis) && (sjis.size() == 1 || sjis.size() == 2) &&
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
                     const std::function<bool(const uint8_t name[11])>& taken, uint8_t out[11]) {
  if (!basis.needs_tail && !taken(basis.name)) {
    std::memcpy(out, basis.name, 11);
    return true;
  }
  for (uint32_t n = 1; n <= 999999; ++n) {
    WithNumericTail(basis.name, n, out);
    if (!taken(out)) return true;
  }
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
