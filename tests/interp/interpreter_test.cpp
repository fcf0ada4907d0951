// The line executor, the section runner and the flow-control commands.
#include <string>
#include <vector>

#include "interp/arguments.h"
#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "interp/var_table.h"
#include "tests/interp/harness.h"

namespace {

std::vector<std::string> calls;  // "name(args)" or "name" without argument text
int32_t answer = 0;              // what Answer returns

int32_t Record(char* args) {
  calls.push_back(args == nullptr ? "Record" : "Record(" + std::string(args) + ")");
  return kGoOn;
}

int32_t Answer(char*) {
  calls.push_back("Answer");
  return answer;
}

int32_t Fail(char* args) {
  ScriptErrorSet("FuncFail の引数が間違っています(%s)", args ? args : "");
  return kFailed;
}

class Runner : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    calls.clear();
    answer = 0;
    CommandTableAdd("Record", Record);
    CommandTableAdd("Answer", Answer);
    CommandTableAdd("Fail", Fail);
    CommandTableAdd("Goto", FuncGoto);
    CommandTableAdd("If", FuncIf);
  }
  int32_t Run(const char* section, int32_t start = 0) {
    last_start = start;
    return RunSection(section, &last_start);
  }
  int32_t last_start = 0;
};

TEST_F(Runner, ExecLineSplitsAtTheFirstCommaAndCleansAgain) {
  ScriptLine line = {"Record", 1};
  EXPECT_EQ(ExecLine(line), kGoOn);
  ScriptLine empty = {"Record,", 2};
  EXPECT_EQ(ExecLine(empty), kGoOn);
  ScriptLine spaced = {"Record , \"a b\" ,c,d", 3};
  EXPECT_EQ(ExecLine(spaced), kGoOn);
  EXPECT_EQ(calls, (std::vector<std::string>{"Record", "Record()", "Record(\"a b\",c,d)"}));
  ScriptLine unknown = {"record,1", 4};
  EXPECT_EQ(ExecLine(unknown), kFailed);
  EXPECT_STREQ(ScriptError, "");
  // The first handler entered under a name is kept.
  CommandTableAdd("Record", Fail);
  EXPECT_EQ(ExecLine(line), kGoOn);
}

TEST_F(Runner, RunsLinesUntilTheEndAPositiveResultOrASuspension) {
  ASSERT_EQ(Load({"[S]", "Record,1", "Answer", "Record,3", "[EMPTY]"}), 0);
  EXPECT_EQ(Run("S"), kGoOn);
  EXPECT_EQ(last_start, 2);  // the last line's index
  EXPECT_EQ(calls.size(), 3u);
  for (int32_t result : {kSectionChosen, kRunAgain, 7}) {
    calls.clear();
    answer = result;
    EXPECT_EQ(Run("S"), result);
    EXPECT_EQ(last_start, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"Record(1)", "Answer"}));
  }
  calls.clear();
  answer = 0;
  EXPECT_EQ(Run("S", 1), kGoOn);
  EXPECT_EQ(calls, (std::vector<std::string>{"Answer", "Record(3)"}));
  EXPECT_EQ(Run("EMPTY"), kGoOn);
  calls.clear();
  EXPECT_EQ(Run("S", 3), kGoOn);  // beyond the last line: nothing runs
  EXPECT_TRUE(calls.empty());
}

TEST_F(Runner, ErrorsCarryTheHandlerAndTheRunnerMessage) {
  ASSERT_EQ(Load({"[S]", "Record", "  Fail , x ;why", "Record", "[U]", "Unknown,\"c:\\a\\\""}), 0);
  EXPECT_EQ(Run("S"), kFailed);
  EXPECT_EQ(std::string(ScriptError),
            "FuncFail の引数が間違っています(x)"
            "\n\n[KELVADO.INI の ｾｸｼｮﾝ名 S, 3 行目 ｴﾝﾄﾘｰ名 Fail,x でｴﾗｰが発生しました]");
  EXPECT_EQ(calls.size(), 1u);
  ScriptErrorClear();
  EXPECT_EQ(Run("U"), kFailed);
  EXPECT_EQ(
      std::string(ScriptError),
      "\n\n[KELVADO.INI の ｾｸｼｮﾝ名 U, 6 行目 ｴﾝﾄﾘｰ名 Unknown,\"c:\\a\\\" でｴﾗｰが発生しました]");
  ScriptErrorClear();
  EXPECT_EQ(Run("NOWHERE"), kFailed);
  EXPECT_EQ(std::string(ScriptError), "\n\n[KELVADO.INI に ｾｸｼｮﾝ名 NOWHERE が存在しません");
}

TEST_F(Runner, TraceLineAndHookFollowEveryLine) {
  static std::vector<std::string> traced;
  traced.clear();
  LineExecutedHook = [] { traced.push_back(TraceLine); };
  ASSERT_EQ(Load({"[S]", "Record,1", "Nothing"}), 0);
  EXPECT_EQ(Run("S"), kFailed);
  EXPECT_EQ(traced, (std::vector<std::string>{"Record,1(2):", "Nothing(3):"}));
  // A line and a message longer than their buffers are cut.
  ASSERT_EQ(Load({"[L" + std::string(250, 'x') + "]", "Nothing," + std::string(300, 'y')}), 0);
  EXPECT_EQ(Run(("L" + std::string(250, 'x')).c_str()), kFailed);
  EXPECT_EQ(std::string(TraceLine).size(), 255u);
  for (int i = 0; i < 40; ++i) Run("L");
  EXPECT_EQ(std::string(ScriptError).size(), kScriptErrorSize - 1);
}

TEST_F(Runner, GotoAndIfChooseTheNextSection) {
  ASSERT_EQ(Load({"[S]", "Goto,\"NEXT\"", "Record"}), 0);
  EXPECT_EQ(Run("S"), kSectionChosen);
  EXPECT_STREQ(GetSectionName(kNextSection).text, "NEXT");
  EXPECT_EQ(posted_new_ones, 1);
  EXPECT_TRUE(calls.empty());

  VarAddInteger("RETVAL", 1);
  VarAddString("OP", "<");
  struct Case {
    const char* line;
    int32_t result;
  };
  const Case cases[] = {
      {"If,RETVAL,\"!=\",1,\"EXIT\"", 0}, {"If,0,\"!=\",RETVAL,\"EXIT\"", 1},
      {"If,-1,\"<\",0,\"EXIT\"", 1},      {"If,0xFFFFFFFF,\">\",0,\"EXIT\"", 0},
      {"If,1,\"<=\",1,\"EXIT\"", 1},      {"If,2,\">=\",3,\"EXIT\"", 0},
      {"If,5,\"==\",5,\"EXIT\"", 1},      {"If,5,\">\",4,\"EXIT\"", 1},
      {"If,-5,OP,-4,\"EXIT\"", 1},
  };
  for (const Case& c : cases) {
    SetSectionName(kNextSection, "");
    ScriptLine line = {};
    snprintf(line.text, sizeof line.text, "%s", c.line);
    EXPECT_EQ(ExecLine(line), c.result) << c.line;
    EXPECT_STREQ(GetSectionName(kNextSection).text, c.result == kSectionChosen ? "EXIT" : "")
        << c.line;
  }
  ScriptLine bad = {"If,1,\"=<\",2,\"EXIT\"", 9};
  EXPECT_EQ(ExecLine(bad), kFailed);
  EXPECT_STREQ(ScriptError, "FuncIf の関係子が間違っています(=<)");
  ScriptLine missing = {"If,1,\"<\",2", 9};
  EXPECT_EQ(ExecLine(missing), kFailed);
  EXPECT_STREQ(ScriptError, "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%dn %sn %dn %sn):[ZamValue](3)");
  ScriptLine absent = {"Goto", 9};
  EXPECT_EQ(ExecLine(absent), kFailed);
  EXPECT_STREQ(ScriptError, "zam_sscanfで引数がありません:[ZamValue](1)");
}

TEST_F(Runner, SectionCommandsStoreTheirName) {
  struct Case {
    const char* name;
    CommandHandler handler;
    SectionField field;
  };
  const Case cases[] = {
      {"SetTrueSection", FuncSetTrueSection, kTrueSection},
      {"SetFalseSection", FuncSetFalseSection, kFalseSection},
      {"SetTouchSection", FuncSetTouchSection, kTouchSection},
      {"SetCoinSectionSub", FuncSetCoinSectionSub, kCoinSection},
      {"SetEndSection", FuncSetEndSection, kEndSection},
      {"SetVGAToFmEndSection", FuncSetVGAToFmEndSection, kVGAToFmEndSection},
      {"DiagNext", FuncDiagNext, kDiagNextSection},
      {"ErrorNext", FuncErrorNext, kErrorNextSection},
      {"OkNext", FuncOkNext, kOkNextSection},
  };
  VarAddString("NAME", "FROM_VARIABLE");
  VarAddInteger("NUMBER", 1);
  for (const Case& c : cases) {
    CommandTableAdd(c.name, c.handler);
    ScriptLine line = {};
    snprintf(line.text, sizeof line.text, "%s,\"セクション\",ignored", c.name);
    EXPECT_EQ(ExecLine(line), kGoOn) << c.name;
    EXPECT_STREQ(GetSectionName(c.field).text, "セクション") << c.name;
    snprintf(line.text, sizeof line.text, "%s,NAME", c.name);
    EXPECT_EQ(ExecLine(line), kGoOn) << c.name;
    EXPECT_STREQ(GetSectionName(c.field).text, "FROM_VARIABLE") << c.name;
    snprintf(line.text, sizeof line.text, "%s,NUMBER", c.name);
    EXPECT_EQ(ExecLine(line), kFailed) << c.name;
    EXPECT_STREQ(ScriptError, "無効な変数ｴﾗｰ(NUMBER):[ZamValue](5)");
    EXPECT_STREQ(GetSectionName(c.field).text, "FROM_VARIABLE") << c.name;
  }
  EXPECT_EQ(posted_new_ones, 0);
}

}  // namespace
