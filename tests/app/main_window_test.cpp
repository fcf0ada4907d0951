// The main window's reactions: START at creation, NEWONE, the tick and the resume protocol,
// clicks, media end, keys, and the hand-over of the next section from a second thread.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/builtin_script.h"
#include "app/main_window.h"
#include "app/program.h"
#include "interp/arguments.h"
#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/loader.h"
#include "interp/section_choice.h"
#include "interp/var_table.h"
#include "platform/window_native.h"
#include "screen/media.h"
#include "services/cursor_wait.h"
#include "services/debug_window_native.h"
#include "services/directories.h"
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
  int32_t result = ReadArguments("FuncIValSet", args, NewVar(&variable), Value(&value));
  if (result == 0) *variable = *value;
  return result;
}

int32_t InitAdapterStandIn(char* args) {
  int32_t* value;
  int32_t result = ReadArguments("FuncInitAdapter", args, NewVar(&value));
  if (result == 0) *value = init_adapter_result;
  return result;
}

int32_t StartDialogStandIn(char* args) {
  char* name;
  int32_t result = ReadArguments("FuncStartDialog", args, Value(&name));
  if (result == 0) ChooseStoredSection(kTrueSection);
  return result;
}

int32_t ProgramExitStandIn(char* args) {
  int32_t result = RejectArguments("FuncProgramExit", args);
  if (result == 0) PostClose();
  return result;
}

// Stand-ins for the commands of the built-in script that need the card, the dialogs or the
// system. They are entered before the program's commands, so they keep their place (the first
// handler of a name stays) whether or not the real commands are built.
void AddStandIns() {
  ClearCommandTable();
  for (const char* name : {"StrSet", "SetHostAdapter", "SetNewVolSerial", "SetChkDataArea",
                           "SetKillCardSrvDlg", "GetOsVersion"})
    CommandTableAdd(name, Accept);
  CommandTableAdd("IValSet", IValSetStandIn);
  CommandTableAdd("InitAdapter", InitAdapterStandIn);
  CommandTableAdd("TgetDrvFileExist", InitAdapterStandIn);
  CommandTableAdd("StartDialog", StartDialogStandIn);
  CommandTableAdd("ProgramExit", ProgramExitStandIn);
  FillCommandTable();
}

class MainWindow : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetProgram();
    traced.clear();
    suspensions = 0;
    init_adapter_result = 1;
    FillCommandTable();
    CommandTableAdd("Suspend", Suspend);
    LineExecutedHook = [] { traced.push_back(TraceLine); };
  }
  // The window's own reactions in place of the harness's.
  void NewOne() override { MainWindowNewOne(); }
  void Tick() override { MainWindowTick(); }
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

// A script of its own for StartInterpreter: START sets the log directory and jumps on; the next
// section fails at a command no program has.
const char* const kStartLines[] = {"[START]",        "SetLogDir1,\"c:\\data1\\log1\\\"",
                                   "Goto,\"NEXT\"",  "[NEXT]",
                                   "IValSet,TRUE,1", "NoSuchCommand,1"};

const char* StartLineAt(int32_t n) { return n >= 1 && n <= 6 ? kStartLines[n - 1] : nullptr; }

TEST_F(MainWindow, StartInterpreterRunsStartAtCreationAndAScriptErrorEndsTheProgram) {
  ASSERT_EQ(StartInterpreter(StartLineAt), 0);
  MainWindowCreate();
  EXPECT_TRUE(boxes.empty());  // START sets the log directory and jumps on
  EXPECT_STREQ(LogDir1, "c:\\data1\\log1\\");
  EXPECT_EQ(posted_new_ones, 1);
  EXPECT_FALSE(Pump());
  EXPECT_EQ(VarFind("TRUE")->integer_value, 1);
  EXPECT_EQ(
      boxes,
      (std::vector<std::string>{ScriptErrorBox("\n\n[KELVADO.INI の ｾｸｼｮﾝ名 NEXT, 6 行目 ｴﾝﾄﾘｰ名 "
                                               "NoSuchCommand,1 でｴﾗｰが発生しました]")}));
  EXPECT_TRUE(close_posted);
  EXPECT_FALSE(IsResumePending());
  EXPECT_EQ(CurrentResumeLine(), 0);
}

TEST_F(MainWindow, BuiltInScriptWalksItsSectionsInOrder) {
  AddStandIns();
  ASSERT_EQ(LoadScriptFrom(BuiltInScript), 0);
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
  ASSERT_EQ(LoadScriptFrom(BuiltInScript), 0);
  MainWindowCreate();
  PumpAndTick();
  std::vector<int> lines = TracedLines();
  std::vector<int> tail(lines.end() - 5, lines.end());
  EXPECT_EQ(tail, (std::vector<int>{27, 28, 64, 65, 66}));
  EXPECT_EQ(VarFind("RETVAL")->integer_value, 0);
}

TEST_F(MainWindow, SuspendedLineRunsAgainAtEachTickThenTheSectionGoesOn) {
  ASSERT_EQ(Load({"[START]", "Goto,\"S\"", "[S]", "DiagNext,\"x\"", "Suspend", "OkNext,\"y\""}), 0);
  suspensions = 3;
  MainWindowCreate();
  EXPECT_EQ(Pump(), true);
  EXPECT_TRUE(IsResumePending());
  EXPECT_EQ(CurrentResumeLine(), 1);
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "");
  EXPECT_EQ(PumpAndTick(), 3);
  EXPECT_EQ(TracedLines(), (std::vector<int>{2, 4, 5, 5, 5, 5, 6}));
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "y");
  EXPECT_FALSE(IsResumePending());
  EXPECT_EQ(CurrentResumeLine(), 0);
  // Idle now: ticks post nothing.
  int posted = posted_new_ones;
  MainWindowTick();
  EXPECT_EQ(posted_new_ones, posted);
}

TEST_F(MainWindow, StartThatSuspendsIsResumed) {
  ASSERT_EQ(Load({"[START]", "Suspend", "DiagNext,\"done\""}), 0);
  suspensions = 2;
  MainWindowCreate();
  EXPECT_TRUE(IsResumePending());
  EXPECT_EQ(PumpAndTick(), 2);
  EXPECT_STREQ(GetSectionName(kDiagNextSection).text, "done");
  EXPECT_EQ(TracedLines(), (std::vector<int>{2, 2, 2, 3}));
}

TEST_F(MainWindow, ScriptErrorDuringNewOneShowsTheBoxAndCloses) {
  ASSERT_EQ(Load({"[START]", "SetTouchSection,\"T\"", "Goto,\"MISSING\""}), 0);
  MainWindowCreate();
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(Pump());
  EXPECT_EQ(boxes, (std::vector<std::string>{
                       ScriptErrorBox("\n\n[KELVADO.INI に ｾｸｼｮﾝ名 MISSING が存在しません")}));
  EXPECT_FALSE(IsResumePending());
}

TEST_F(MainWindow, ClicksTakeTheTouchSectionBeforeTheCoinSection) {
  ASSERT_EQ(Load({"[START]", "SetCoinSectionSub,\"COIN\"", "SetEndSection,\"END\"",
                  "SetTouchSection,\"TOUCH\"", "[TOUCH]", "DiagNext,\"touched\"", "[COIN]",
                  "DiagNext,\"coin\""}),
            0);
  MainWindowCreate();
  EXPECT_FALSE(IsResumePending());
  MainWindowClick(10, 20);
  EXPECT_TRUE(IsResumePending());
  EXPECT_STREQ(GetSectionName(kNextSection).text, "TOUCH");
  EXPECT_STREQ(GetSectionName(kCoinSection).text, "");
  EXPECT_STREQ(GetSectionName(kEndSection).text, "");
  EXPECT_EQ(posted_new_ones, 0);  // the chosen section starts at the next tick
  EXPECT_EQ(PumpAndTick(), 1);
  EXPECT_STREQ(GetSectionName(kDiagNextSection).text, "touched");
  MainWindowClick(10, 20);  // nothing armed any more: nothing happens
  EXPECT_FALSE(IsResumePending());
}

TEST_F(MainWindow, ClickWhileSuspendedAbandonsTheSection) {
  ASSERT_EQ(Load({"[START]", "SetCoinSectionSub,\"COIN\"", "Goto,\"S\"", "[S]", "Suspend",
                  "DiagNext,\"not reached\"", "[COIN]", "Suspend", "OkNext,\"coin\""}),
            0);
  suspensions = 1000;
  MainWindowCreate();
  PumpAndTick(5);
  EXPECT_EQ(CurrentResumeLine(), 0);
  MainWindowClick(1, 1);
  EXPECT_EQ(CurrentResumeLine(), 0);
  suspensions = 1;
  EXPECT_EQ(PumpAndTick(), 2);
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "coin");
  EXPECT_STREQ(GetSectionName(kDiagNextSection).text, "");
}

TEST_F(MainWindow, MediaEndRunsTheEndSectionOnlyWhenPlaybackSucceeded) {
  ASSERT_EQ(Load({"[START]", "SetEndSection,\"END\"", "SetTouchSection,\"T\"", "[END]",
                  "OkNext,\"ended\""}),
            0);
  MainWindowCreate();
  for (uint32_t notification : {2u, 4u, 8u}) MainWindowMediaEnd(notification, 0);
  EXPECT_EQ(posted_new_ones, 0);
  EXPECT_STREQ(GetSectionName(kEndSection).text, "END");
  MainWindowMediaEnd(kMediaEndSuccessful, 0);
  EXPECT_EQ(posted_new_ones, 1);
  EXPECT_STREQ(GetSectionName(kEndSection).text, "");
  EXPECT_STREQ(GetSectionName(kTouchSection).text, "");
  Pump();
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "ended");
}

TEST_F(MainWindow, EndSectionChosenWhileSuspendedRunsOnce) {
  ASSERT_EQ(
      Load({"[START]", "SetEndSection,\"END\"", "Suspend", "[END]", "Suspend", "DiagNext,\"end\""}),
      0);
  suspensions = 1000;
  MainWindowCreate();
  ASSERT_TRUE(IsResumePending());
  MainWindowTick();                         // NEWONE for the suspended START is queued
  MainWindowMediaEnd(kMediaEndSuccessful, 0);  // a second one for END
  suspensions = 0;
  traced.clear();
  PumpAndTick();
  EXPECT_EQ(TracedLines(), (std::vector<int>{5, 6}));
}

TEST_F(MainWindow, KeysAndTheCursorMessage) {
  // Space opens the debug window and closes it again; Esc and F12 close the program.
  OpenDebugWindowHandler = [] { return true; };
  MainWindowKey(kKeySpace);
  EXPECT_TRUE(DebugWindowIsOpen());
  MainWindowKey(kKeySpace);
  EXPECT_FALSE(DebugWindowIsOpen());
  OpenDebugWindowHandler = nullptr;
  EXPECT_FALSE(close_posted);
  MainWindowKey(kKeyEscape);
  EXPECT_TRUE(close_posted);
  close_posted = false;
  MainWindowKey(kKeyF12);
  EXPECT_TRUE(close_posted);
  // The cursor message shows the cursor that MouseCursor chose.
  static int32_t cursor_shown;
  cursor_shown = -1;
  SetMouseCursorHandler = [](int32_t id) { cursor_shown = id; };
  MouseCursorId = 32514;
  MainWindowSetCursor();
  SetMouseCursorHandler = nullptr;
  EXPECT_EQ(cursor_shown, 32514);
}

std::atomic<int> ended_runs(0);  // runs of the end sections, counted on the main thread
int32_t Ended(char*) {
  ++ended_runs;
  return kGoOn;
}

TEST_F(MainWindow, WatcherChoosesTheEndSectionWhileSectionsRun) {
  // The main thread runs MAIN over and over, each run arming the end section; a watcher thread
  // meanwhile arms names of its own and takes the end section, as the watcher of a finished
  // program does. Every NEWONE must run a whole name: a name made of two would be a section
  // that does not exist, a script error. A choice that lands while MAIN runs is replaced by its
  // Goto; the watcher goes on until some of its choices have run.
  const std::string a(200, 'A'), b(200, 'B');
  ASSERT_EQ(
      Load({"[START]", "Goto,\"MAIN\"", "[MAIN]", "SetEndSection,\"" + a + "\"", "Goto,\"MAIN\"",
            "[" + a + "]", "Ended", "Goto,\"MAIN\"", "[" + b + "]", "Ended", "Goto,\"MAIN\""}),
      0);
  CommandTableAdd("Ended", Ended);
  ended_runs = 0;
  PostNewOneHandler = [] {};  // from both threads; the loop below handles NEWONE anyway
  MainWindowCreate();
  std::atomic<bool> done(false);
  std::thread watcher([&] {
    for (int i = 0; i < 5000 || (ended_runs < 20 && i < 5000000); ++i) {
      SetSectionName(kEndSection, (i % 2 ? a : b).c_str());
      ChooseEventSection(kEndSection, true);
      if (i % 64 == 0) std::this_thread::yield();
    }
    done = true;
  });
  while (!done) {
    MainWindowNewOne();
    ASSERT_TRUE(boxes.empty()) << boxes[0].size();
    std::this_thread::yield();  // as a message loop waits between messages
  }
  watcher.join();
  EXPECT_GE(ended_runs, 20);
}

}  // namespace
