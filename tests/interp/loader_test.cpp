// The script loader: cleaning, headers and their errors.
#include <cstring>
#include <string>

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
