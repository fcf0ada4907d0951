// The script loader: cleaning, headers and their errors, and the BuiltInScript as loaded.
#include <cstring>
#include <string>

#include "app/builtin_script.h"
#include "interp/loader.h"
#include "interp/script_error.h"
#include "interp/section_table.h"
#include "tests/interp/harness.h"

namespace {

std::string Cleaned(const std::string& raw) {
  char line[1024] = {};
  std::memcpy(line, raw.data(), raw.size());
  CleanLine(line);
  std::string once = line;
  CleanLine(line);
  EXPECT_EQ(once, line) << "cleaning twice changed " << raw;
  return once;
}

TEST(CleanLine, DropsBlanksOutsideQuotesAndCutsAtSemicolons) {
  EXPECT_EQ(Cleaned("IValSet,ARROW_CURSOR, 32512"), "IValSet,ARROW_CURSOR,32512");
  EXPECT_EQ(Cleaned(" \tA ,\r\n B\v\f"), "A,B");
  EXPECT_EQ(Cleaned("StrSet,T,\"Times New Roman\" "), "StrSet,T,\"Times New Roman\"");
  EXPECT_EQ(Cleaned("StrSet,T,\"a ; b\""), "StrSet,T,\"a ");
  EXPECT_EQ(Cleaned("  ; only a comment"), "");
  EXPECT_EQ(Cleaned("[A] ; comment"), "[A]");
  // A quote opened again after a closed one keeps its blanks too.
  EXPECT_EQ(Cleaned("\"a b\" x \"c d\""), "\"a b\"x\"c d\"");
  // Bytes from 0x80 up are never blanks: the Shift-JIS ideographic space stays.
  EXPECT_EQ(Cleaned("A\x81\x40" "B \xA0"), "A\x81\x40" "B\xA0");
}

TEST(CleanLine, KeepsAt255BytesOfALongerLine) {
  std::string raw(300, 'x');
  EXPECT_EQ(Cleaned(raw), std::string(255, 'x'));
  // Blanks among the first 255 bytes count although they are dropped.
  std::string spaced = std::string(10, ' ') + std::string(300, 'y');
  EXPECT_EQ(Cleaned(spaced), std::string(245, 'y'));
}

class Loader : public InterpTest {};

TEST_F(Loader, BuiltInScriptGivesThirteenSectionsAndFiftyThreeLines) {
  ASSERT_EQ(LoadScriptFrom(BuiltInScript), 0);
  EXPECT_STREQ(ScriptName, "KELVADO.INI");
  EXPECT_EQ(BuiltInScript(0), nullptr);
  EXPECT_EQ(BuiltInScript(67), nullptr);
  struct Expected {
    const char* name;
    int first, last;
  };
  const Expected sections[] = {
      {"START", 2, 3},         {"INIT_DATA", 5, 12},
      {"INIT_DATA_B", 14, 20}, {"INIT_ADAPTER", 22, 30},
      {"OPENING_DLG1", 32, 34}, {"CHECK_TARGET_DRIVE", 36, 38},
      {"CHK_FILE_EXIST", 40, 42}, {"MAKE_PARTITION_TARGET_DRIVE", 44, 46},
      {"CRAD_INIT", 48, 50},   {"START_KELVADO", 52, 54},
      {"TRUE_END_DIALOG", 56, 58}, {"FALSE_END_DIALOG", 60, 62},
      {"EXIT_PROGRAM", 64, 66},
  };
  EXPECT_EQ(SectionCount(), 13);
  int lines = 0;
  for (const Expected& expected : sections) {
    const Section* section = FindSection(expected.name);
    ASSERT_NE(section, nullptr) << expected.name;
    ASSERT_EQ(section->line_count, expected.last - expected.first + 1) << expected.name;
    for (int i = 0; i < section->line_count; ++i)
      EXPECT_EQ(section->lines[i].line_number, expected.first + i) << expected.name;
    lines += section->line_count;
  }
  EXPECT_EQ(lines, 53);
  const Section* adapter = FindSection("INIT_ADAPTER");
  EXPECT_STREQ(adapter->lines[6].text, "If,RETVAL,\"!=\",1,\"EXIT_PROGRAM\"");
  EXPECT_EQ(adapter->lines[6].line_number, 28);
  EXPECT_STREQ(FindSection("INIT_DATA")->lines[0].text, "IValSet,ARROW_CURSOR,32512");
  EXPECT_STREQ(FindSection("INIT_DATA_B")->lines[0].text, "StrSet,H_Gothic,\"標準ゴシック\"");
  EXPECT_STREQ(FindSection("INIT_DATA_B")->lines[2].text,
               "StrSet,TimesNewRoman,\"Times New Roman\"");
  EXPECT_EQ(FindSection("start"), nullptr);
  EXPECT_EQ(FindSection("START "), nullptr);
}

TEST_F(Loader, SkipsEmptyBlankAndCommentLinesButCountsThem) {
  ASSERT_EQ(Load({"", "[A]", "   ", "; note", "\t", "Goto,\"B\" ; jump", "[B]"}), 0);
  const Section* a = FindSection("A");
  ASSERT_EQ(a->line_count, 1);
  EXPECT_STREQ(a->lines[0].text, "Goto,\"B\"");
  EXPECT_EQ(a->lines[0].line_number, 6);
  EXPECT_EQ(FindSection("B")->line_count, 0);
}

TEST_F(Loader, HeadersMergeByNameAndMayFollowEachOther) {
  ASSERT_EQ(Load({"[A]", "One", "[B]", "[C]", "Two", "[ A ] ;again", "Three"}), 0);
  const Section* a = FindSection("A");
  ASSERT_EQ(a->line_count, 2);
  EXPECT_STREQ(a->lines[0].text, "One");
  EXPECT_STREQ(a->lines[1].text, "Three");
  EXPECT_EQ(a->lines[1].line_number, 7);
  EXPECT_EQ(FindSection("B")->line_count, 0);
  EXPECT_EQ(SectionCount(), 3);
  // Blanks inside the brackets are not part of the name; quoted ones are.
  ASSERT_EQ(Load({"[\"x y\"]"}), 0);
  EXPECT_NE(FindSection("\"x y\""), nullptr);
}

TEST_F(Loader, HeaderErrorsNameTheirLine) {
  const std::string too_short = "\n\n[KELVADO.INI の 3 行目でカッコが閉じていないか、内容がありません。";
  const std::string not_closed = "\n\n[KELVADO.INI の 3 行目 セクション名のカッコが閉じていません。";
  struct Case {
    const char* header;
    const std::string* message;
  };
  const Case cases[] = {
      {"[", &too_short},     {"[]", &too_short},      {"[a", &too_short},
      {"[ ]", &too_short}, {"[ab", &not_closed},    {"[A]x", &not_closed},
      {"[A]\"]\"", &not_closed}, {"[A;]", &too_short},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(Load({"[OK]", "", c.header, "[LATER]"}), -1) << c.header;
    EXPECT_EQ(ScriptError, *c.message) << c.header;
    EXPECT_NE(FindSection("OK"), nullptr);
    EXPECT_EQ(FindSection("LATER"), nullptr) << "loading goes on after " << c.header;
  }
}

TEST_F(Loader, AppendsItsMessageToTheErrorText) {
  ScriptErrorSet("before");
  EXPECT_EQ(Load({"[xy"}), -1);
  EXPECT_EQ(std::string(ScriptError),
            "before\n\n[KELVADO.INI の 1 行目 セクション名のカッコが閉じていません。");
}

TEST_F(Loader, RefusesACommandLineBeforeTheFirstHeader) {
  EXPECT_EQ(Load({"; header missing", "Goto,\"A\"", "[A]"}), -1);
  EXPECT_EQ(std::string(ScriptError),
            "\n\n[KELVADO.INI の 2 行目 セクション名の前にコマンドがあります。");
  EXPECT_EQ(SectionCount(), 0);
}

}  // namespace
