// The value and string commands as script lines through the interpreter's table of commands: the
// cases that the golden script scripts/values.ini does not already show.
#include <cmath>
#include <cstring>
#include <string>

#include "interp/arguments.h"
#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/var_table.h"
#include "platform/clock_native.h"
#include "tests/interp/harness.h"

namespace {

class Commands : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    CommandTableAddAll(kInterpCommands);
  }
  void TearDown() override {
    ClockRun();
    InterpTest::TearDown();
  }
  int32_t Run(const std::string& text) {
    ScriptLine line = {};
    std::strncpy(line.text, text.c_str(), sizeof line.text - 1);
    return ExecLine(line);
  }
  void RunAll(std::initializer_list<std::string> lines) {
    for (const std::string& text : lines) ASSERT_EQ(Run(text), kGoOn) << text << ": " << ScriptError;
  }
  VarRecord& Var(const char* name) {
    static VarRecord none;
    VarRecord* record = VarFind(name);
    EXPECT_NE(record, nullptr) << name;
    return record != nullptr ? *record : none;
  }
  std::string Str(const char* name) { return Var(name).string_value; }
};

TEST_F(Commands, WritesThroughTheWrongKindAreLostAndMissingTargetsFail) {
  EXPECT_EQ(Run("IValInc,M"), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(M):[ZamValue](4)");
  RunAll({"FValSet,R,2.5", "IValAdd,R,1", "IValSet,I,7", "FValSet,J,I", "FValDiv,J,2",
          "FValSet,N,0", "FValDiv,N,0"});
  EXPECT_EQ(Var("R").real_value, 2.5);
  EXPECT_EQ(Var("J").real_value, 3.5);
  EXPECT_EQ(Var("I").integer_value, 7);
  EXPECT_TRUE(std::isnan(Var("N").real_value));
}

TEST_F(Commands, StringsMayNameTheSameSlotTwice) {
  RunAll({"StrSet,W,\"ab\"", "StrCat,W,W", "StrSet,W,W", "StrSet,T,\"AB5\"", "DividStr,T,H,T,N",
          "StrSet,U,\"CD6\"", "DividStr,U,U,P,N"});
  EXPECT_EQ(Str("W"), "abab");
  EXPECT_EQ(Str("T"), "AB");
  EXPECT_EQ(Str("U"), "C");
  EXPECT_EQ(Str("P"), "CD");
}

TEST_F(Commands, StrSetnOutsideTheTextChangesNothing) {
  RunAll({"StrSet,Q,\"abcdef\"", "StrSetn,3,Q,\"\"", "StrSetn,3,Q,\"x\"", "StrSetn,-1,Q,\"x\"",
          "StrSetn,255,Q,\"x\"", "StrSetn,100000,Q,\"x\"", "StrSetn,0,\"lit\",\"x\""});
  EXPECT_EQ(Str("Q"), "abc");
  EXPECT_EQ(Var("Q").string_value[4], 'e');  // behind the cut, and it stays behind it
}

TEST_F(Commands, DividStrWithoutADigitOrStartingWithOne) {
  const struct {
    const char* source;
    const char* head;
    const char* prefix;
    int32_t number;
  } cases[] = {{"ABC", "A", "ABC", -1},
               {"7up", "", "", 7},
               {"", "", "", -1},
               {"A99999999999", "A", "A", 2147483647}};
  for (const auto& c : cases) {
    RunAll({std::string("DividStr,\"") + c.source + "\",H,P,N"});
    EXPECT_EQ(Str("H"), c.head) << c.source;
    EXPECT_EQ(Str("P"), c.prefix) << c.source;
    EXPECT_EQ(Var("N").integer_value, c.number) << c.source;
  }
}

TEST_F(Commands, YearsKeepTheirLastTwoDigits) {
  ClockTime at = {2005, 12, 6, 31, 23, 59, 58, 0};
  ClockStop(at, at);
  RunAll({"GetDateTime,DT", "GetDateTime2,Y,M,D,H,N,S"});
  EXPECT_EQ(Str("DT"), "'05/12/31 23:59");
  EXPECT_EQ(Str("Y") + Str("M") + Str("D") + Str("H") + Str("N") + Str("S"),
            "'05123123"
            "5958");
}

TEST_F(Commands, FormattedTextsFitTheirSlot) {
  RunAll({"StrSet,F,\"%5.1e\"", "FValToStr,1234.5,F,F"});
  EXPECT_EQ(Str("F"), "1.2e+03");  // the format's own slot takes the result
  // Cut at 255 bytes, never inside a double-byte character.
  std::string kana;
  for (int i = 0; i < 125; ++i) kana += "\x82\xa0";
  RunAll({"StrSet,F,\"%6d" + kana.substr(0, 120) + "\"", "StrSet,G,\"" + kana.substr(120) + "\"",
          "StrCat,F,G", "IValToStr,7,F,K", "FValToStr,1,\"%-400f|\",L"});
  EXPECT_EQ(Str("K"), "     7" + kana.substr(0, 248));
  EXPECT_EQ(Str("L"), "1.000000" + std::string(247, ' '));
}

}  // namespace
