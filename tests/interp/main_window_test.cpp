// The main window's reactions: START at creation, NEWONE, the tick and the resume protocol,
// clicks, media end, keys, and the hand-over of the next section from a second thread.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/command_list.h"
#include "app/main_window.h"
#include "interp/arguments.h"
#include "interp/builtin_script.h"
#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/loader.h"
#include "interp/section_choice.h"
#include "interp/trace_line.h"
#include "interp/var_table.h"
#include "system/directories.h"
#include "system/wait.h"
#include "system/window_services.h"
#include "tests/interp/harness.h"

namespace {

std::vector<std::string> traced;  // TraceLine after every executed line
int suspensions = 0;              // how often Suspend still answers 2
int32_t init_adapter_result = 1;  // what the InitAdapter stand-in stores

int32_t Accept(char*) { return 0; }

int32_t Suspend(char*) {
  if (suspensions == 0) return 0;
  --suspensions;
  return 2;
}

int32_t IValSetStandIn(char* args) {
  int32_t *variable, *value;
  int32_t result = ReadArguments("FuncIValSet", args, "%dm %dn", &variable, &value);
  if (result == 0) *variable = *value;
  return result;
}

int32_t InitAdapterStandIn(char* args) {
  int32_t* value;
  int32_t result = ReadArguments("FuncInitAdapter", args, "%dm", &value);
  if (result == 0) *value = init_adapter_result;
  return result;
}

int32_t StartDialogStandIn(char* args) {
  char* name;
  int32_t result = ReadArguments("FuncStartDialog", args, "%sn", &name);
  if (result == 0) ChooseSection(TrueSection);
  return result;
}

int32_t ProgramExitStandIn(char* args) {
  int32_t result = RejectArguments("FuncProgramExit", args);
  if (result == 0) PostClose();
  return result;
}

// Stand-ins for the commands of the built-in script that are not built yet.
void AddStandIns() {
  for (const char* name : {"StrSet", "SetHostAdapter", "SetNewVolSerial", "SetChkDataArea",
                           "SetKillCardSrvDlg", "GetOsVersion"})
    CommandTableAdd(name, Accept);
  CommandTableAdd("IValSet", IValSetStandIn);
  CommandTableAdd("InitAdapter", InitAdapterStandIn);
  CommandTableAdd("TgetDrvFileExist", InitAdapterStandIn);
  CommandTableAdd("StartDialog", StartDialogStandIn);
  CommandTableAdd("ProgramExit", ProgramExitStandIn);
}

class MainWindow : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    traced.clear();
    suspensions = 0;
    init_adapter_result = 1;
    FillCommandTable();
    CommandTableAdd("Suspend", Suspend);
    LineExecutedHook = [] { traced.push_back(TraceLine); };
  }
  // Line numbers of the traced lines, in order.
  std::vector<int> TracedLines() {
    std::vector<int> lines;
    for (const std::string& t : traced) {
      size_t open = t.rfind('(');
      lines.push_back(std::stoi(t.substr(open + 1)));
    }
    return lines;
  }
};

const char kInitAdapterError[] =
    "KELVADO.INI ERROR!: \n\n[KELVADO.INI の ｾｸｼｮﾝ名 INIT_ADAPTER, 22 行目 ｴﾝﾄﾘｰ名 "
    "SetHostAdapter,\"njata95\" でｴﾗｰが発生しました]";

TEST_F(MainWindow, BuiltInScriptStopsAtSetHostAdapterWhileItIsMissing) {
  ASSERT_EQ(StartInterpreter(BuiltInScript), 0);
  EXPECT_EQ(CommandCount(), 89);  // the commands built so far and Suspend
  MainWindowCreate();
  EXPECT_TRUE(boxes.empty());  // START sets the log directory and jumps on
  EXPECT_STREQ(LogDir1, "c:\\data1\\log1\\");
  EXPECT_EQ(posted_new_ones, 1);
  EXPECT_FALSE(Pump());
  EXPECT_EQ(boxes, (std::vector<std::string>{kInitAdapterError}));
  EXPECT_TRUE(close_posted);
  EXPECT_FALSE(ResumePending);
  EXPECT_EQ(ResumeLine, 0);
}

TEST_F(MainWindow, BuiltInScriptWalksItsSectionsInOrder) {
  AddStandIns();
  ASSERT_EQ(LoadScript(), 0);
  MainWindowCreate();
  EXPECT_EQ(TracedLines(), (std::vector<int>{2, 3}));  // START, then NEWONE for INIT_DATA
  EXPECT_EQ(posted_new_ones, 1);
  EXPECT_EQ(PumpAndTick(), 0);
  // Every dialog answers OK: TRUE_END_DIALOG leads to EXIT_PROGRAM, FALSE_END_DIALOG never runs.
  std::vector<int> expected;
  const int runs[][2] = {{2, 3},   {5, 12},  {14, 20}, {22, 30}, {32, 34}, {36, 38},
                         {40, 42}, {44, 46}, {48, 50}, {52, 54}, {56, 58}, {64, 66}};
  for (const auto& run : runs)
    for (int line = run[0]; line <= run[1]; ++line) expected.push_back(line);
  EXPECT_EQ(TracedLines(), expected);
  EXPECT_TRUE(close_posted);
  EXPECT_TRUE(boxes.empty());

  // InitAdapter failing: the If goes to EXIT_PROGRAM, the rest of INIT_ADAPTER never runs.
  SetUp();
  AddStandIns();
  init_adapter_result = 0;
  ASSERT_EQ(LoadScript(), 0);
  MainWindowCreate();
  PumpAndTick();
  std::vector<int> lines = TracedLines();
  std::vector<int> tail(lines.end() - 5, lines.end());
  EXPECT_EQ(tail, (std::vector<int>{27, 28, 64, 65, 66}));
  EXPECT_EQ(VarFind("RETVAL")->integer_value, 0);
}

TEST_F(MainWindow, SuspendedLineRunsAgainAtEachTickThenTheSectionGoesOn) {
  ASSERT_EQ(Load({"[START]", "Goto,\"S\"", "[S]", "DiagNext,\"x\"", "Suspend", "OkNext,\"y\""}),
                 0);
  suspensions = 3;
  MainWindowCreate();
  EXPECT_EQ(Pump(), true);
  EXPECT_TRUE(ResumePending);
  EXPECT_EQ(ResumeLine, 1);
  EXPECT_STREQ(OkNextSection, "");
  EXPECT_EQ(PumpAndTick(), 3);
  EXPECT_EQ(TracedLines(), (std::vector<int>{2, 4, 5, 5, 5, 5, 6}));
  EXPECT_STREQ(OkNextSection, "y");
  EXPECT_FALSE(ResumePending);
  EXPECT_EQ(ResumeLine, 0);
  // Idle now: ticks post nothing.
  int posted = posted_new_ones;
  MainWindowTick();
  EXPECT_EQ(posted_new_ones, posted);
}

TEST_F(MainWindow, StartThatSuspendsIsResumed) {
  ASSERT_EQ(Load({"[START]", "Suspend", "DiagNext,\"done\""}), 0);
  suspensions = 2;
  MainWindowCreate();
  EXPECT_TRUE(ResumePending);
  EXPECT_EQ(PumpAndTick(), 2);
  EXPECT_STREQ(DiagNextSection, "done");
  EXPECT_EQ(TracedLines(), (std::vector<int>{2, 2, 2, 3}));
}

TEST_F(MainWindow, ScriptErrorDuringNewOneShowsTheBoxAndCloses) {
  ASSERT_EQ(Load({"[START]", "SetTouchSection,\"T\"", "Goto,\"MISSING\""}), 0);
  MainWindowCreate();
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(Pump());
  EXPECT_EQ(boxes, (std::vector<std::string>{
                       "KELVADO.INI ERROR!: \n\n[KELVADO.INI に ｾｸｼｮﾝ名 MISSING が存在しません"}));
  EXPECT_FALSE(ResumePending);
}

TEST_F(MainWindow, ClicksTakeTheTouchSectionBeforeTheCoinSection) {
  ASSERT_EQ(Load({"[START]", "SetCoinSectionSub,\"COIN\"", "SetEndSection,\"END\"",
                  "SetTouchSection,\"TOUCH\"", "[TOUCH]", "DiagNext,\"touched\"", "[COIN]",
                  "DiagNext,\"coin\""}),
            0);
  MainWindowCreate();
  EXPECT_FALSE(ResumePending);
  MainWindowClick(10, 20);
  EXPECT_TRUE(ResumePending);
  EXPECT_STREQ(NextSection, "TOUCH");
  EXPECT_STREQ(CoinSection, "");
  EXPECT_STREQ(EndSection, "");
  EXPECT_EQ(posted_new_ones, 0);  // the chosen section starts at the next tick
  EXPECT_EQ(PumpAndTick(), 1);
  EXPECT_STREQ(DiagNextSection, "touched");
  MainWindowClick(10, 20);  // nothing armed any more: nothing happens
  EXPECT_FALSE(ResumePending);
}

TEST_F(MainWindow, ClickWhileSuspendedAbandonsTheSection) {
  ASSERT_EQ(Load({"[START]", "SetCoinSectionSub,\"COIN\"", "Goto,\"S\"", "[S]", "Suspend",
                  "DiagNext,\"not reached\"", "[COIN]", "Suspend", "OkNext,\"coin\""}),
            0);
  suspensions = 1000;
  MainWindowCreate();
  PumpAndTick(5);
  EXPECT_EQ(ResumeLine, 0);
  MainWindowClick(1, 1);
  EXPECT_EQ(ResumeLine, 0);
  suspensions = 1;
  EXPECT_EQ(PumpAndTick(), 2);
  EXPECT_STREQ(OkNextSection, "coin");
  EXPECT_STREQ(DiagNextSection, "");
}

TEST_F(MainWindow, MediaEndRunsTheEndSectionOnlyWhenPlaybackSucceeded) {
  ASSERT_EQ(Load({"[START]", "SetEndSection,\"END\"", "SetTouchSection,\"T\"", "[END]",
                  "OkNext,\"ended\""}),
            0);
  MainWindowCreate();
  for (uint32_t notification : {2u, 4u, 8u}) MainWindowMediaEnd(notification, 0);
  EXPECT_EQ(posted_new_ones, 0);
  EXPECT_STREQ(EndSection, "END");
  MainWindowMediaEnd(kMediaEndSuccessful, 0);
  EXPECT_EQ(posted_new_ones, 1);
  EXPECT_STREQ(EndSection, "");
  EXPECT_STREQ(TouchSection, "");
  Pump();
  EXPECT_STREQ(OkNextSection, "ended");
}

TEST_F(MainWindow, EndSectionChosenWhileSuspendedRunsOnce) {
  ASSERT_EQ(Load({"[START]", "SetEndSection,\"END\"", "Suspend", "[END]", "Suspend",
                  "DiagNext,\"end\""}),
            0);
  suspensions = 1000;
  MainWindowCreate();
  ASSERT_TRUE(ResumePending);
  MainWindowTick();             // NEWONE for the suspended START is queued
  MainWindowMediaEnd(kMediaEndSuccessful, 0);  // a second one for END
  suspensions = 0;
  traced.clear();
  PumpAndTick();
  EXPECT_EQ(TracedLines(), (std::vector<int>{5, 6}));
}

TEST_F(MainWindow, SecondThreadHandsOverWholeNames) {
  // A watcher thread arms and takes the end section as a finished program does, with names of
  // 255 bytes; the main thread never sees a mixture of two names.
  const std::string a(255, 'A'), b(255, 'B');
  std::atomic<bool> done(false);
  std::thread watcher([&] {
    for (int i = 0; i < 20000; ++i) {
      SetSectionName(EndSection, (i % 2 ? a : b).c_str());
      ChooseEventSection(EndSection, true);
    }
    done = true;
  });
  int runs = 0;
  while (!done || runs == 0) {
    RunTicket ticket;
    if (!TakeNextRun(&ticket)) continue;
    ++runs;
    std::string name = ticket.section;
    ASSERT_TRUE(name == a || name == b) << name.size();
    ASSERT_EQ(ticket.line, 0);
  }
  watcher.join();
  EXPECT_GT(runs, 0);
}

}  // namespace
