// The value and string commands, run as script lines through the program's command table.
#include <cmath>
#include <cstring>
#include <string>

#include "app/command_list.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/var_table.h"
#include "system/clock.h"
#include "tests/interp/harness.h"

namespace {

class Commands : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    FillCommandTable();
  }
  void TearDown() override {
    ClockRun();
    InterpTest::TearDown();
  }
  int32_t Run(const std::string& text) {
    ScriptLine line = {};
    std::strncpy(line.text, text.c_str(), sizeof line.text - 1);
    line.line_number = 1;
    return ExecLine(line);
  }
  // Runs lines that must all succeed.
  void RunAll(std::initializer_list<const char*> lines) {
    for (const char* text : lines) ASSERT_EQ(Run(text), 0) << text << ": " << ScriptError;
  }
  int32_t Int(const char* name) { return Var(name)->integer_value; }
  double Real(const char* name) { return Var(name)->real_value; }
  std::string Str(const char* name) { return Var(name)->string_value; }
  VarRecord* Var(const char* name) {
    VarRecord* record = VarFind(name);
    EXPECT_NE(record, nullptr) << name;
    static VarRecord none;
    return record != nullptr ? record : &none;
  }
};

TEST_F(Commands, IntegerArithmeticKeepsTheLow32Bits) {
  RunAll({"IValSet,N,5", "IValInc,N", "IValSet,MAX,2147483647", "IValAdd,MAX,1",
          "IValSet,MIN,-2147483648", "IValDec,MIN", "IValSet,P,65536", "IValMul,P,65536",
          "IValSet,Q,2147483647", "IValMul,Q,2", "IValSet,D,-5", "IValSub,D,2147483647",
          "IValSet,B,12", "IValSet,O,12", "And,B,10", "Or,O,10"});
  EXPECT_EQ(Int("N"), 6);
  EXPECT_EQ(Int("MAX"), -2147483647 - 1);
  EXPECT_EQ(Int("MIN"), 2147483647);
  EXPECT_EQ(Int("P"), 0);
  EXPECT_EQ(Int("Q"), -2);
  EXPECT_EQ(Int("D"), 2147483644);
  EXPECT_EQ(Int("B"), 8);
  EXPECT_EQ(Int("O"), 14);
}

TEST_F(Commands, DivisionTruncatesAndTheRemainderHasTheSignOfTheFirst) {
  RunAll({"IValSet,A,-7", "IValDiv,A,2", "IValSet,B,-7", "IValMod,B,2", "IValSet,C,7",
          "IValMod,C,-2", "IValSet,E,-2147483648", "IValDiv,E,-1", "IValSet,F,-2147483648",
          "IValMod,F,-1"});
  EXPECT_EQ(Int("A"), -3);
  EXPECT_EQ(Int("B"), -1);
  EXPECT_EQ(Int("C"), 1);
  EXPECT_EQ(Int("E"), -2147483647 - 1);  // 2147483648 does not fit: its low 32 bits
  EXPECT_EQ(Int("F"), 0);
}

TEST_F(Commands, AZeroDivisorLeavesTheValueAndTheScriptGoesOn) {
  RunAll({"IValSet,A,9", "IValSet,Z,0", "IValDiv,A,Z", "IValMod,A,0"});
  EXPECT_EQ(Int("A"), 9);
  EXPECT_STREQ(ScriptError, "");
}

TEST_F(Commands, TargetsMustExistUnlessCreatedAndLiteralsKeepNothing) {
  EXPECT_EQ(Run("IValInc,M"), -1);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(M):[ZamValue](4)");
  EXPECT_EQ(Run("IValInc,5"), 0);
  RunAll({"FValSet,R,2.5", "IValAdd,R,1", "IValSet,X,3"});
  EXPECT_EQ(Real("R"), 2.5);  // an integer write to a real variable is lost
  EXPECT_EQ(Run("IValAdd,X"), -1);
  EXPECT_STREQ(ScriptError, "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%dn %dn):[ZamValue](3)");
  EXPECT_EQ(Run("StrSet,X,\"x\""), -1);  // X is an integer variable
  EXPECT_EQ(Int("X"), 3);
}

TEST_F(Commands, RealArithmeticIsIeee) {
  RunAll({"FValSet,F,1.5", "FValAdd,F,0.25", "FValMul,F,4", "FValSub,F,1", "FValSet,G,1.5",
          "FValDiv,G,0", "FValSet,H,-1", "FValDiv,H,0", "FValSet,N,0", "FValDiv,N,0", "IValSet,I,7",
          "FValSet,J,I", "FValDiv,J,2"});
  EXPECT_EQ(Real("F"), 6.0);
  EXPECT_EQ(Real("G"), INFINITY);
  EXPECT_EQ(Real("H"), -INFINITY);
  EXPECT_TRUE(std::isnan(Real("N")));
  EXPECT_EQ(Real("J"), 3.5);
}

TEST_F(Commands, StrSetAndStrCatUpToExactly255Bytes) {
  std::string a200(200, 'a'), b55(55, 'b');
  RunAll({"StrSet,S,\"Times New Roman\"", "StrSet,E,\"\"", "StrSet,T,S"});
  EXPECT_EQ(Str("T"), "Times New Roman");
  EXPECT_EQ(Str("E"), "");
  ASSERT_EQ(Run("StrSet,A,\"" + a200 + "\""), 0);
  ASSERT_EQ(Run("StrSet,B,\"" + b55 + "\""), 0);
  ASSERT_EQ(Run("StrCat,A,B"), 0);
  EXPECT_EQ(Str("A"), a200 + b55);
  ASSERT_EQ(Run("StrSet,A,\"" + a200 + "\""), 0);
  EXPECT_EQ(Run("StrCat,A,\"" + b55 + "c\""), -1);
  EXPECT_STREQ(ScriptError, "FuncStrCat で文字列が長くなり過ぎます");
  EXPECT_EQ(Str("A"), a200);
  RunAll({"StrSet,W,\"ab\"", "StrCat,W,W", "StrCat,W,E"});
  EXPECT_EQ(Str("W"), "abab");
}

TEST_F(Commands, StrCmpOrdersUnsignedBytes) {
  RunAll({"StrCmp,\"abc\",\"abd\",R1", "StrCmp,\"abc\",\"abc\",R2", "StrCmp,\"\x82\xa0\",\"z\",R3",
          "StrCmp,\"ab\",\"abc\",R4", "StrCmp,\"b\",\"abc\",R5"});
  EXPECT_EQ(Int("R1"), -1);
  EXPECT_EQ(Int("R2"), 0);
  EXPECT_EQ(Int("R3"), 1);
  EXPECT_EQ(Int("R4"), -1);
  EXPECT_EQ(Int("R5"), 1);
}

TEST_F(Commands, StrSetnChangesOneByteOfTheTextOnly) {
  RunAll({"StrSet,P,\"C:\\\"", "StrSetn,0,P,\"D\"", "StrSet,Q,\"abcdef\"", "StrSetn,3,Q,\"\""});
  EXPECT_EQ(Str("P"), "D:\\");
  EXPECT_EQ(Str("Q"), "abc");
  // Outside the text nothing changes, the terminator included: the bytes behind it in the slot
  // ("ef" after the cut above) must not come back.
  RunAll({"StrSetn,3,Q,\"x\"", "StrSetn,-1,Q,\"x\"", "StrSetn,255,Q,\"x\"",
          "StrSetn,100000,Q,\"x\"", "StrSetn,0,\"lit\",\"x\""});
  EXPECT_EQ(Str("Q"), "abc");
  EXPECT_EQ(Var("Q")->string_value[4], 'e');
}

TEST_F(Commands, DividStrCutsTheSourceAtItsFirstDigit) {
  RunAll({"StrSet,S,\"X12Y34\"", "DividStr,S,H,P,N"});
  EXPECT_EQ(Str("H"), "X");
  EXPECT_EQ(Str("P"), "X");
  EXPECT_EQ(Int("N"), 12);
  EXPECT_EQ(Str("S"), "X");
  RunAll({"DividStr,\"ABC\",H,P,N"});
  EXPECT_EQ(Str("H"), "A");
  EXPECT_EQ(Str("P"), "ABC");
  EXPECT_EQ(Int("N"), -1);
  RunAll({"DividStr,\"7up\",H,P,N"});
  EXPECT_EQ(Str("H"), "");
  EXPECT_EQ(Str("P"), "");
  EXPECT_EQ(Int("N"), 7);
  RunAll({"DividStr,\"\",H,P,N"});
  EXPECT_EQ(Str("P"), "");
  EXPECT_EQ(Int("N"), -1);
  RunAll({"DividStr,\"A99999999999\",H,P,N"});
  EXPECT_EQ(Int("N"), 2147483647);
  // Outputs that name the source get their parts from the whole source.
  RunAll({"StrSet,T,\"AB5\"", "DividStr,T,H,T,N", "StrSet,U,\"CD6\"", "DividStr,U,U,P,N"});
  EXPECT_EQ(Str("T"), "AB");
  EXPECT_EQ(Str("U"), "C");
  EXPECT_EQ(Str("P"), "CD");
}

TEST_F(Commands, DateAndTimeComeFromTheClock) {
  ClockTime at = {1999, 3, 0, 7, 9, 5, 42, 0};
  ClockStop(at, at);
  RunAll({"GetDateTime,DT", "GetDate,D", "GetTime,T", "GetDateTime2,Y,M,DD,HH,MM,SS"});
  EXPECT_EQ(Str("DT"), "'99/03/07 09:05");
  EXPECT_EQ(Str("D"), "'99/03/07");
  EXPECT_EQ(Str("T"), "09:05");
  EXPECT_EQ(Str("Y") + Str("M") + Str("DD") + Str("HH") + Str("MM") + Str("SS"),
            "'99030709"
            "0542");
  at.year = 2005;
  at.hour = 23;
  ClockStop(at, at);
  RunAll({"GetDateTime,DT"});
  EXPECT_EQ(Str("DT"), "'05/03/07 23:05");
}

TEST_F(Commands, NumbersAsTextFitTheSlot) {
  RunAll({"IValToStr,7,\"%03d\",A", "FValToStr,2.5,\"%.2f\",B", "IValSet,N,-42",
          "IValToStr,N,\"[%#x] %%\",C", "StrSet,F,\"%5.1e\"", "FValToStr,1234.5,F,F"});
  EXPECT_EQ(Str("A"), "007");
  EXPECT_EQ(Str("B"), "2.50");
  EXPECT_EQ(Str("C"), "[0xffffffd6] %");
  EXPECT_EQ(Str("F"), "1.2e+03");  // the format's own slot takes the result
  // A format that asks for another value, or more than one, gives the empty text.
  RunAll(
      {"StrSet,S,\"old\"", "IValToStr,1,\"%s\",S", "StrSet,T,\"old\"", "FValToStr,1,\"%f%f\",T"});
  EXPECT_EQ(Str("S"), "");
  EXPECT_EQ(Str("T"), "");
  // Long results are cut at 255 bytes, never inside a double-byte character.
  std::string kana;
  for (int i = 0; i < 125; ++i) kana += "\x82\xa0";
  ASSERT_EQ(Run("StrSet,F,\"%6d" + kana.substr(0, 120) + "\""), 0);
  ASSERT_EQ(Run("StrSet,G,\"" + kana.substr(120) + "\""), 0);
  RunAll({"StrCat,F,G", "IValToStr,7,F,K"});
  EXPECT_EQ(Str("K"), "     7" + kana.substr(0, 248));
  ASSERT_EQ(Run("FValToStr,1,\"%-400f|\",L"), 0);
  EXPECT_EQ(Str("L"), "1.000000" + std::string(247, ' '));
}

}  // namespace
