// Names in a FAT directory as Windows 95/98 makes them: which long names are valid, the short
// name a long name gets (upper case, the numeric tail ~1, ~2, ..., Shift-JIS double-byte
// characters never split, a first byte E5h stored as 05h), the long-name entries with the short
// name's checksum, and the names as a listing shows them.
#ifndef KELVADO_FAT_NAMES_H
#define KELVADO_FAT_NAMES_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The upper case short names are made in: ASCII, full-width Latin, Greek and Cyrillic letters.
char16_t ShortNameUpper(char16_t c);
// Two long names that the system takes for the same name (they differ only in case).
bool SameLongName(const std::u16string& a, const std::u16string& b);

// Empty when `name` can be a file's or directory's long name; otherwise why not: empty, "." or
// "..", longer than 255 units, a control character or one of \ / : * ? " < > |, or a last
// character that is a space or a period (the system drops those).
std::string LongNameProblem(const std::u16string& name);

// The device a name stands for in Windows 95/98 ("CON", "PRN", "AUX", "NUL", "CLOCK$", "COM1" to
// "COM9", "LPT1" to "LPT9"), whatever its case and extension: a file of that name cannot be opened
// or deleted there. "" for any other name.
std::string DeviceName(const std::u16string& name);

// Empty when Windows 95/98 could have written the short name `name` (11 bytes as read, E5h not
// 05h); otherwise what it holds that Windows never writes: lower-case letters, control bytes,
// DEL, one of + , ; = [ ], one of the characters no name holds, a blank first byte, or bytes that
// are no Shift-JIS character.
std::string ShortNameProblem(const uint8_t name[11]);
// The name a short entry stands for when it has no long name, as a listing shows it (the
// lower-case bits of `nt_case` applied), in UTF-16; a byte or pair without a Unicode form becomes
// U+FFFD, so that every entry has a name to be shown and copied by.
std::u16string NameOfShortEntry(const uint8_t name[11], uint8_t nt_case);

// The Windows 95 basis name of a long name: upper case, spaces and leading periods dropped,
// characters a short name cannot hold (+ , ; = [ ], DEL and those without a Shift-JIS form) as '_',
// up to 8 bytes before the last period and 3 after it, a double-byte character never split.
struct BasisName {
  uint8_t name[11];  // blank-padded, as a short name (E5h not yet stored as 05h)
  bool needs_tail;   // the long name does not fit 8.3 as it is, or a character was replaced
  bool plain;        // the long name is exactly this short name: no long-name entries needed
};
BasisName MakeBasisName(const std::u16string& long_name);

// The basis with the numeric tail "~n" ending its first part, which is cut (never inside a
// double-byte character) to leave room for it.
void WithNumericTail(const uint8_t basis[11], uint32_t n, uint8_t out[11]);

// The short name `long_name` gets in a directory where `taken` says which short names are used:
// the basis itself when it fits and is free, else the basis with the lowest free tail ~1 to
// ~999999. False when every tail is taken. With `next_tail` (0 at first), the search for a tail
// starts there and it is left at the tail chosen: tails below it are known to be taken, so
// many names of one basis cost no more than one each.
bool ChooseShortName(const BasisName& basis,
                     const std::function<bool(const uint8_t name[11])>& taken, uint8_t out[11],
                     uint32_t* next_tail = nullptr);

// A short name as stored in an entry (first byte E5h as 05h), and back.
void StoreShortName(const uint8_t name[11], uint8_t stored[11]);
void LoadShortName(const uint8_t stored[11], uint8_t name[11]);

// The checksum the long-name entries carry of the short name that follows them (as stored).
uint8_t ShortNameChecksum(const uint8_t stored[11]);

// Appends the long-name entries of `name` (1 to 255 units) in the order they are stored: the
// entry holding the last part first, marked with 40h.
void AppendLongNameEntries(const std::u16string& name, uint8_t checksum, std::vector<uint8_t>* out);
inline uint32_t LongNameEntryCount(size_t units) {
  return static_cast<uint32_t>((units + 12) / 13);
}

// The volume label Windows 95/98 writes for `text`: upper case (as ShortNameUpper), in Shift-JIS,
// blank-padded to 11 bytes. Empty, with the label in `label`, or why `text` cannot be a label:
// empty, no Shift-JIS form, longer than 11 bytes, a first blank, control bytes, DEL or one of
// * ? . , ; : / \ | + = < > [ ] ".
std::string MakeLabel(const std::u16string& text, uint8_t label[11]);
// A label's 11 bytes as text for messages (UTF-8, the trailing blanks dropped).
std::string LabelText(const uint8_t label[11]);

// A short name as a listing shows it ("README.TXT"): Shift-JIS bytes, the blanks dropped, with
// the lower-case bits other systems keep in the entry's reserved byte applied.
std::string ShortNameText(const uint8_t name[11], uint8_t nt_case = 0);

#endif
