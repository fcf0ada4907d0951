// The argument parser: literals, names, splitting, messages, variables and the trace.
#include <cmath>
#include <cstring>
#include <string>

#include "interp/arguments.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/var_table.h"
#include "interp/zam_value.h"
#include "tests/interp/harness.h"

namespace {

class Parser : public InterpTest {
 protected:
  // The argument text in a modifiable buffer, as the line executor hands it over.
  char* Text(const std::string& text) {
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, text.data(), text.size());
    return buffer;
  }
  int32_t Integer(const std::string& text, int32_t* result = nullptr) {
    int32_t* value = nullptr;
    int32_t r = zam_sscanf(Text(text), "%dn", &value);
    if (result) *result = r;
    return value ? *value : -12345;
  }
  double Real(const std::string& text) {
    double* value = nullptr;
    EXPECT_EQ(zam_sscanf(Text(text), "%fn", &value), 1) << text;
    return value ? *value : NAN;
  }
  char buffer[1024];
};

TEST_F(Parser, IntegerLiterals) {
  EXPECT_EQ(Integer("32512"), 32512);
  EXPECT_EQ(Integer("-5"), -5);
  EXPECT_EQ(Integer("0x10"), 16);
  EXPECT_EQ(Integer("0xFFFFFFFF"), -1);
  EXPECT_EQ(Integer("0x7fffffff"), 2147483647);
  EXPECT_EQ(Integer("0x1G"), 1);
  EXPECT_EQ(Integer("0x"), 0);
  EXPECT_EQ(Integer("0X10"), 0);  // decimal, stopped by the X
  EXPECT_EQ(Integer("-"), 0);
  EXPECT_EQ(Integer("12ab"), 12);
  EXPECT_EQ(Integer("--5"), 0);
  EXPECT_EQ(Integer("2147483647"), 2147483647);
  EXPECT_EQ(Integer("99999999999"), 2147483647);
  EXPECT_EQ(Integer("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(Integer("-99999999999"), -2147483647 - 1);
}

TEST_F(Parser, RealLiterals) {
  EXPECT_EQ(Real("1.5"), 1.5);
  EXPECT_EQ(Real("-0.25"), -0.25);
  EXPECT_EQ(Real("2e3"), 2000.0);
  EXPECT_EQ(Real("3."), 3.0);
  EXPECT_EQ(Real("-.5"), -0.5);
  EXPECT_EQ(Real("2e"), 2.0);
  EXPECT_EQ(Real("1.5x"), 1.5);
  EXPECT_EQ(Real("0x10"), 0.0);  // no hexadecimal reals
  EXPECT_EQ(Real("-inf"), 0.0);
  EXPECT_TRUE(std::isinf(Real("1e999")));
  // .5 and +1 are names, not literals.
  double* value;
  EXPECT_EQ(zam_sscanf(Text(".5"), "%fn", &value), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(.5):[ZamValue](4)");
  EXPECT_EQ(zam_sscanf(Text("+1"), "%fn", &value), kFailed);
}

TEST_F(Parser, StringLiteralsAndHowArgumentsSplit) {
  char* a;
  char* b;
  int32_t* n;
  ASSERT_EQ(zam_sscanf(Text("\"Times New Roman\",\"a,b\""), "%sn %sn", &a, &b), 2);
  EXPECT_STREQ(a, "Times New Roman");
  EXPECT_STREQ(b, "a,b");
  ASSERT_EQ(zam_sscanf(Text("\"\""), "%sn", &a), 1);
  EXPECT_STREQ(a, "");
  // Surplus arguments are never looked at.
  ASSERT_EQ(zam_sscanf(Text("\"DLG_CARD_INIT\",RETVAL"), "%sn", &a), 1);
  EXPECT_STREQ(a, "DLG_CARD_INIT");
  // A quote counts only as an argument's first character.
  VarAddString("a\"b", "q");
  ASSERT_EQ(zam_sscanf(Text("a\"b,\"c\""), "%sn %sn", &a, &b), 2);
  EXPECT_STREQ(a, "q");
  EXPECT_STREQ(b, "c");
  // Text between a closing quote and the next comma is skipped.
  ASSERT_EQ(zam_sscanf(Text("\"abc\"x y,7"), "%sn %dn", &a, &n), 2);
  EXPECT_STREQ(a, "abc");
  EXPECT_EQ(*n, 7);
  ASSERT_EQ(zam_sscanf(Text("\"abc\"\"def\""), "%sn", &a), 1);
  EXPECT_STREQ(a, "abc");
  // A quoted field without its closing quote is no argument.
  EXPECT_EQ(zam_sscanf(Text("\"abc"), "%sn", &a), kFailed);
  EXPECT_STREQ(ScriptError, "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%sn):[ZamValue](3)");
}

TEST_F(Parser, EmptyArgumentsAreTheEmptyName) {
  int32_t* x;
  int32_t* y;
  VarAddInteger("X", 3);
  EXPECT_EQ(zam_sscanf(Text("X,,5"), "%dn %dn", &x, &y), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ():[ZamValue](4)");
  ASSERT_EQ(zam_sscanf(Text("X,,5"), "%dn %dm", &x, &y), 2);
  ASSERT_NE(VarFind(""), nullptr);
  EXPECT_EQ(VarFind("")->kind, kVarInteger);
  // A trailing comma gives no further argument.
  EXPECT_EQ(zam_sscanf(Text("X,"), "%dn %dn", &x, &y), kFailed);
  EXPECT_STREQ(ScriptError, "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%dn %dn):[ZamValue](3)");
  EXPECT_EQ(zam_sscanf(Text(""), "%dn", &x), kFailed);
}

TEST_F(Parser, MessagesAndResults) {
  int32_t* d = nullptr;
  char* s = nullptr;
  EXPECT_EQ(zam_sscanf(nullptr, "%dn", &d), kFailed);
  EXPECT_STREQ(ScriptError, "zam_sscanfで引数がありません:[ZamValue](1)");
  EXPECT_EQ(zam_sscanf(Text("1"), "%xn", &d), kFormatError);
  EXPECT_STREQ(ScriptError, "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%xn):[ZamValue](2)");
  EXPECT_EQ(zam_sscanf(Text("1"), "%dq", &d), kFormatError);
  EXPECT_EQ(zam_sscanf(Text("1,2"), "%dn %", &d), kFormatError);
  EXPECT_EQ(zam_sscanf(Text("1,2"), "%dn %d", &d), kFormatError);
  EXPECT_EQ(zam_sscanf(Text("COUNT"), "%dn", &d), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(COUNT):[ZamValue](4)");
  VarAddString("S", "text");
  EXPECT_EQ(zam_sscanf(Text("S"), "%dn", &d), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(S):[ZamValue](5)");
  double* f = nullptr;
  EXPECT_EQ(zam_sscanf(Text("S"), "%fm", &f), kFailed);
  VarAddInteger("A", 1);
  EXPECT_EQ(zam_sscanf(Text("A"), "%sm", &s), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(A):[ZamValue](5)");
  // The outputs before the failing code are set, the later ones untouched.
  d = nullptr;
  int32_t* untouched = reinterpret_cast<int32_t*>(&d);
  int32_t* later = untouched;
  EXPECT_EQ(zam_sscanf(Text("7,NONE,8"), "%dn %dn %dn", &d, &later, &later), kFailed);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(*d, 7);
  EXPECT_EQ(later, untouched);
}

TEST_F(Parser, TenLiteralsOfAKindAtMost) {
  int32_t* v[11];
  char* t[3];
  EXPECT_EQ(zam_sscanf(Text("0,1,2,3,4,5,6,7,8,9,\"a\",\"b\",\"c\""),
                       "%dn %dn %dn %dn %dn %dn %dn %dn %dn %dn %sn %sn %sn", &v[0], &v[1], &v[2],
                       &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &t[0], &t[1], &t[2]),
            13);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(*v[i], i);
  EXPECT_STREQ(t[2], "c");
  EXPECT_EQ(zam_sscanf(Text("0,1,2,3,4,5,6,7,8,9,10"),
                       "%dn %dn %dn %dn %dn %dn %dn %dn %dn %dn %dn", &v[0], &v[1], &v[2], &v[3],
                       &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10]),
            -2);
  EXPECT_STREQ(ScriptError,
               "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%dn %dn %dn %dn %dn %dn %dn %dn %dn %dn %dn):[ZamValue](7)");
}

TEST_F(Parser, VariablesAreCreatedReadAndWrittenThroughTheirSlots) {
  int32_t* i;
  double* f;
  char* s;
  ASSERT_EQ(zam_sscanf(Text("TRUE,1"), "%dm %dn", &i, &f), 2);  // IValSet,TRUE,1
  EXPECT_EQ(*i, 0);
  *i = 1;
  EXPECT_EQ(VarFind("TRUE")->integer_value, 1);
  ASSERT_EQ(zam_sscanf(Text("R,S"), "%fm %sm", &f, &s), 2);
  EXPECT_EQ(VarFind("R")->kind, kVarReal);
  EXPECT_EQ(VarFind("S")->kind, kVarString);
  // A real read as an integer is truncated towards zero into its own integer slot.
  const double reals[] = {2.7, -2.7, 1e300, -1e300, NAN};
  const int32_t truncated[] = {2, -2, 2147483647, -2147483647 - 1, 0};
  for (int k = 0; k < 5; ++k) {
    VarFind("R")->real_value = reals[k];
    ASSERT_EQ(zam_sscanf(Text("R"), "%dn", &i), 1);
    EXPECT_EQ(*i, truncated[k]);
  }
  // Writing through the other numeric slot changes only that copy.
  VarFind("R")->real_value = 2.5;
  ASSERT_EQ(zam_sscanf(Text("R"), "%dn", &i), 1);
  *i = 5;
  EXPECT_EQ(VarFind("R")->real_value, 2.5);
  ASSERT_EQ(zam_sscanf(Text("TRUE"), "%fn", &f), 1);
  EXPECT_EQ(*f, 1.0);
  *f = 9.0;
  EXPECT_EQ(VarFind("TRUE")->integer_value, 1);
  // Names are exact bytes.
  EXPECT_EQ(zam_sscanf(Text("true"), "%dn", &i), kFailed);
  EXPECT_EQ(zam_sscanf(Text("\"5\""), "%dn", &i), kFailed);
  EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(\"5\"):[ZamValue](4)");
}

TEST_F(Parser, TraceShowsVariableValuesAndNeverOverruns) {
  TraceLineStart("IValAdd,X,Y", 7);
  VarAddInteger("X", 3);
  VarAddInteger("Y", 4);
  VarAddReal("F", 1.5);
  VarAddString("S", "abc");
  int32_t *x, *y, *z;
  double* f;
  char* s;
  ASSERT_EQ(zam_sscanf(Text("X,Y,5,F,S"), "%dn %dn %dn %fn %sn", &x, &y, &z, &f, &s), 5);
  EXPECT_STREQ(TraceLine, "IValAdd,X,Y(7):3 4 1.500000 abc ");
  VarAddString("LONG", std::string(255, 'L').c_str());
  for (int k = 0; k < 3; ++k) ASSERT_EQ(zam_sscanf(Text("LONG"), "%sn", &s), 1);
  EXPECT_EQ(std::strlen(TraceLine), 255u);
  // A cut never leaves half a double-byte character behind.
  TraceLineStart(std::string(248, 'a').c_str(), 1);  // 252 bytes with "(1):"
  VarAddString("JP", "標準");
  ASSERT_EQ(zam_sscanf(Text("JP"), "%sn", &s), 1);
  EXPECT_EQ(std::string(TraceLine).substr(252), "\x95\x57");
}

TEST_F(Parser, TypedCodesSpellTheFormatAndFillThePointersInOrder) {
  int32_t *d, *created;
  double* f;
  char* s;
  // The parser's message shows the format that the codes spell.
  EXPECT_EQ(ReadArguments("FuncX", Text("1,2.5"), Value(&d), Value(&f), NewVar(&s)), kFailed);
  EXPECT_STREQ(ScriptError, "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%dn %fn %sm):[ZamValue](3)");
  EXPECT_EQ(ReadArguments("FuncX", Text("N"), NewVar(&created)), kGoOn);
  ASSERT_EQ(ReadArguments("FuncX", Text("7,2.5,\"t\",N"), Value(&d), Value(&f), Value(&s),
                          Value(&created)),
            kGoOn);
  EXPECT_EQ(*d, 7);
  EXPECT_EQ(*f, 2.5);
  EXPECT_STREQ(s, "t");
  EXPECT_EQ(created, &VarFind("N")->integer_value);
  EXPECT_EQ(RejectArguments("FuncDoClr", nullptr), kGoOn);
  EXPECT_EQ(RejectArguments("FuncDoClr", Text("")), kFailed);
  EXPECT_STREQ(ScriptError, "FuncDoClr に引数()があります");
  EXPECT_EQ(RejectArguments("FuncDoClr", Text("1,2")), kFailed);
  EXPECT_STREQ(ScriptError, "FuncDoClr に引数(1,2)があります");
}

}  // namespace
