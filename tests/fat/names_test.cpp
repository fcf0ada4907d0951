// Short names, long-name entries and labels as Windows 95 makes them.
#include "fat/names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fat/dir_entry.h"
#include "fat/tree.h"

namespace {

std::string Name11(const uint8_t name[11]) { return std::string(reinterpret_cast<const char*>(name), 11); }

// The short name `long_name` gets in a directory already holding `taken` (11-byte names).
std::string ShortFor(const std::u16string& long_name, const std::set<std::string>& taken = {},
                     bool* long_entries = nullptr) {
  BasisName basis = MakeBasisName(long_name);
  uint8_t out[11];
  bool ok = ChooseShortName(
      basis, [&taken](const uint8_t n[11]) { return taken.count(Name11(n)) != 0; }, out);
  if (long_entries) *long_entries = !basis.plain;
  return ok ? Name11(out) : "";
}

// Shift-JIS bytes of the test's Japanese names (the compiler writes literals in Shift-JIS).
const std::string kHoukoku = "報告書";  // 95 F1 8D 90 8F 91

}  // namespace

TEST(ShortNames, Windows95Rules) {
  bool long_entries = true;
  // A plain 8.3 name is its own short name, without long-name entries.
  EXPECT_EQ(ShortFor(u"README.TXT", {}, &long_entries), "README  TXT");
  EXPECT_FALSE(long_entries);
  EXPECT_EQ(ShortFor(u"COMMAND.COM", {}, &long_entries), "COMMAND COM");
  EXPECT_FALSE(long_entries);
  // Lower case fits 8.3 (no tail) but keeps its case only in long-name entries.
  EXPECT_EQ(ShortFor(u"readme.txt", {}, &long_entries), "README  TXT");
  EXPECT_TRUE(long_entries);
  // Names that do not fit get the numeric tail, even with nothing in the way.
  EXPECT_EQ(ShortFor(u"Program Files", {}, &long_entries), "PROGRA~1   ");
  EXPECT_TRUE(long_entries);
  EXPECT_EQ(ShortFor(u"read me first.txt"), "README~1TXT");
  EXPECT_EQ(ShortFor(u"archive.tar.gz"), "ARCHIV~1GZ ");
  EXPECT_EQ(ShortFor(u"LONGEXTN.HTML"), "LONGEX~1HTM");
  EXPECT_EQ(ShortFor(u".profile"), "PROFIL~1   ");
  // Characters a short name cannot hold become '_' (a lossy name always gets a tail).
  EXPECT_EQ(ShortFor(u"a+b.txt"), "A_B~1   TXT");
  EXPECT_EQ(ShortFor(u"[x];=.c"), "_X___~1 C  ");
  // Full-width letters are made upper case like ASCII ones.
  EXPECT_EQ(ShortFor(u"\uFF41.txt"), "\x82\x60      TXT");
}

TEST(ShortNames, NumericTailsCountUpAndShortenTheName) {
  std::set<std::string> taken;
  for (int i = 1; i <= 9; ++i) {
    std::string name = ShortFor(u"Program Files", taken);
    EXPECT_EQ(name, "PROGRA~" + std::to_string(i) + "   ");
    taken.insert(name);
  }
  EXPECT_EQ(ShortFor(u"Program Files", taken), "PROGR~10   ");
  // A plain name whose short name is taken gets a tail too.
  EXPECT_EQ(ShortFor(u"README.TXT", {"README  TXT"}), "README~1TXT");
}

TEST(ShortNames, DoubleByteCharactersAreNeverSplit) {
  bool long_entries = false;
  // 報告書 (6 bytes) + "19" fills 8 bytes; with the tail only 報告書 stays.
  std::string name = ShortFor(u"報告書 1998.txt", {}, &long_entries);
  EXPECT_EQ(name, kHoukoku + "~1TXT");
  EXPECT_TRUE(long_entries);
  // "ABC" + 報 + 告 is 7 bytes; 書 would cross the 8th byte and is left out whole. With the tail
  // "~1" the first part has 6 bytes: ABC報 (5), 告 would cross.
  EXPECT_EQ(ShortFor(u"abc報告書.txt"), "ABC\x95\xF1~1 TXT");
  // A plain Shift-JIS 8.3 name needs no long-name entries.
  EXPECT_EQ(ShortFor(u"報告書.TXT", {}, &long_entries), kHoukoku + "  TXT");
  EXPECT_FALSE(long_entries);
  // The tail's place is counted in bytes: ~10 leaves 5, and 報告 (4) then a byte.
  uint8_t basis[11], out[11];
  std::memcpy(basis, (kHoukoku + "19TXT").data(), 11);
  WithNumericTail(basis, 10, out);
  EXPECT_EQ(Name11(out), "\x95\xF1\x8D\x90~10 TXT");
}

TEST(ShortNames, FirstByteE5IsStoredAs05) {
  // 蛟 is E5 80 in Shift-JIS: stored as 05 80, and its checksum is over the stored bytes.
  std::string name = ShortFor(u"蛟.DAT");
  ASSERT_EQ(static_cast<uint8_t>(name[0]), 0xE5);
  uint8_t stored[11], loaded[11];
  StoreShortName(reinterpret_cast<const uint8_t*>(name.data()), stored);
  EXPECT_EQ(stored[0], 0x05);
  EXPECT_EQ(stored[1], 0x80);
  LoadShortName(stored, loaded);
  EXPECT_EQ(Name11(loaded), name);
  EXPECT_EQ(ShortNameText(loaded), "蛟.DAT");
}

TEST(LongNames, WhatWindowsRefuses) {
  EXPECT_EQ(LongNameProblem(u"ok name.txt"), "");
  EXPECT_EQ(LongNameProblem(u" leading space"), "");
  EXPECT_NE(LongNameProblem(u""), "");
  EXPECT_NE(LongNameProblem(u".."), "");
  EXPECT_NE(LongNameProblem(u"a:b"), "");
  EXPECT_NE(LongNameProblem(u"what?"), "");
  EXPECT_NE(LongNameProblem(u"tab\there"), "");
  EXPECT_NE(LongNameProblem(u"trailing."), "");
  EXPECT_NE(LongNameProblem(u"trailing "), "");
  EXPECT_NE(LongNameProblem(std::u16string(256, u'x')), "");
  EXPECT_EQ(LongNameProblem(std::u16string(255, u'x')), "");
  EXPECT_TRUE(SameLongName(u"Read Me.txt", u"READ ME.TXT"));
  EXPECT_FALSE(SameLongName(u"Read Me.txt", u"Read Me.tx"));
}

TEST(LongNames, EntriesCarryTheNameLastPartFirst) {
  const uint8_t stored[11] = {'A', 'L', 'O', 'N', 'G', 'F', '~', '1', 'T', 'E', 'X'};
  const uint8_t checksum = ShortNameChecksum(stored);
  // The checksum rotates right and adds each byte: worked out by hand for "ALONGF~1TEX".
  uint8_t sum = 0;
  for (uint8_t b : stored) sum = static_cast<uint8_t>((sum >> 1) + ((sum & 1) << 7) + b);
  EXPECT_EQ(checksum, sum);

  std::vector<uint8_t> entries;
  const std::u16string name = u"a long file name.text";  // 21 units: 2 entries
  AppendLongNameEntries(name, checksum, &entries);
  ASSERT_EQ(entries.size(), 64u);
  EXPECT_EQ(entries[0], 0x42);  // the last part, marked
  EXPECT_EQ(entries[32], 0x01);
  for (int e = 0; e < 2; ++e) {
    EXPECT_EQ(entries[e * 32 + 11], kAttrLongName);
    EXPECT_EQ(entries[e * 32 + 12], 0);
    EXPECT_EQ(entries[e * 32 + 13], checksum);
    EXPECT_EQ(GetLe16(&entries[e * 32 + 26]), 0);
  }
  // Units 14-21 in the first entry, then the terminator and FFFFh.
  std::u16string second;
  for (uint32_t i = 0; i < 13; ++i)
    second.push_back(static_cast<char16_t>(GetLe16(&entries[LongNameUnitOffset(i)])));
  EXPECT_EQ(second.substr(0, 9), name.substr(13) + u'\0');
  for (size_t i = 9; i < 13; ++i) EXPECT_EQ(second[i], 0xFFFF);
  // A name of exactly 13 units has no room for a terminator and needs none.
  entries.clear();
  AppendLongNameEntries(u"thirteen.char", checksum, &entries);
  ASSERT_EQ(entries.size(), 32u);
  EXPECT_EQ(entries[0], 0x41);
  EXPECT_EQ(GetLe16(&entries[LongNameUnitOffset(12)]), u'r');
}

TEST(ShortNames, WhatWindowsNeverWritesAndDeviceNames) {
  auto problem = [](const char* name) {
    return ShortNameProblem(reinterpret_cast<const uint8_t*>(name));
  };
  EXPECT_EQ(problem("README  TXT"), "");
  EXPECT_EQ(problem("\x95\xF1\x8D\x90~1  TXT"), "");  // 報告~1.TXT
  EXPECT_EQ(problem("\xB1\xB2      TXT"), "");           // half-width katakana
  EXPECT_EQ(problem("lower   txt"), "lower-case letters");
  EXPECT_EQ(problem("\x82\x81      TXT"), "lower-case letters");  // full-width a
  EXPECT_EQ(problem("A+B     TXT"), "one of + , ; = [ ]");
  EXPECT_EQ(problem("CT\x01L    TXT"), "control bytes");
  EXPECT_EQ(problem("DE\x7FL    TXT"), "DEL (7Fh)");
  EXPECT_EQ(problem("A.B     TXT"), "one of \\ / : * ? \" < > | .");
  EXPECT_EQ(problem(" AB     TXT"), "a blank first byte");
  EXPECT_EQ(problem("ABCDEFG\x95TXT"), "bytes that are no Shift-JIS character");  // split pair
  // DEL is no short-name character: a long name holding it gets '_' and a numeric tail.
  EXPECT_EQ(ShortFor(u"a\x7F.txt"), "A_~1    TXT");
  for (const char16_t* name : {u"CON", u"con.txt", u"Aux.Dat.Old", u"NUL ", u"clock$", u"COM1",
                               u"lpt9.prn", u"PRN.", u"com5 .x"})
    EXPECT_NE(DeviceName(name), "") << Utf8FromUtf16(name);
  for (const char16_t* name : {u"CONSOLE", u"com0", u"COM10", u"LPT", u"xcon", u"AUX1.txt",
                               u"\uFF23ON"})
    EXPECT_EQ(DeviceName(name), "") << Utf8FromUtf16(name);
  EXPECT_EQ(DeviceName(u"Lpt1.txt"), "LPT1");
}

TEST(Labels, AsWindowsWritesThem) {
  uint8_t label[11];
  EXPECT_EQ(MakeLabel(u"Drive c", label), "");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(label), 11), "DRIVE C    ");
  EXPECT_EQ(LabelText(label), "DRIVE C");
  EXPECT_EQ(MakeLabel(u"報告書ディスク", label), "it is longer than the 11 bytes of a label in Shift-JIS");
  EXPECT_EQ(MakeLabel(u"報告書ディ1", label), "");
  EXPECT_EQ(LabelText(label), Utf8FromUtf16(u"報告書ディ1"));
  EXPECT_NE(MakeLabel(u"A.B", label), "");
  EXPECT_NE(MakeLabel(u"A\x7F", label), "");
  EXPECT_NE(MakeLabel(u"TAB\tX", label), "");
  EXPECT_NE(MakeLabel(u" LEADING", label), "");
  EXPECT_NE(MakeLabel(u"caf\u00E9", label), "");
}
