// The system services as script lines use them: directories and aliases, waiting, the cursor,
// the dated log and debug files, the debug window, and the messages that do nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "platform/clock_native.h"
#include "platform/files.h"
#include "platform/window.h"
#include "platform/window_native.h"
#include "services/cursor_wait.h"
#include "services/debug_window_native.h"
#include "services/directories.h"
#include "services/services_commands.h"
#include "services/services_reset.h"
#include "tests/interp/harness.h"

namespace {

int opens = 0, closes = 0, repaints = 0;
bool window_can_open = true;
int32_t cursor_shown = -1;

class Services : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetServices();
    CommandTableAddAll(kInterpCommands);
    CommandTableAddAll(kServicesCommands);
    LineExecutedHook = DebugWindowShowLine;
    opens = closes = repaints = 0;
    window_can_open = true;
    cursor_shown = -1;
    OpenDebugWindowHandler = [] {
      ++opens;
      return window_can_open;
    };
    CloseDebugWindowHandler = [] { ++closes; };
    RepaintDebugWindowHandler = [] { ++repaints; };
    SetMouseCursorHandler = [](int32_t id) { cursor_shown = id; };
    char pattern[] = "/tmp/kelvado-services-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ClockStop({1999, 3, 0, 7, 9, 5, 30, 0}, {1999, 3, 0, 7, 0, 5, 30, 0});
  }
  void TearDown() override {
    DebugWindowClose();
    OpenDebugWindowHandler = nullptr;
    CloseDebugWindowHandler = nullptr;
    RepaintDebugWindowHandler = nullptr;
    SetMouseCursorHandler = nullptr;
    ClockRun();
    std::filesystem::remove_all(dir);
    InterpTest::TearDown();
  }
  // The tick also counts down a Wait.
  void Tick() override {
    WaitCountDown();
    InterpTest::Tick();
  }
  // Runs the lines as section START of a fresh script, then whatever they scheduled; the boxes
  // shown, if any.
  std::vector<std::string> Run(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "[START]");
    ClearSectionTable();
    ScriptErrorClear();
    ResetSectionChoice();
    boxes.clear();
    EXPECT_EQ(Load(lines), 0);
    Start();
    PumpAndTick();
    return boxes;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) { return std::filesystem::exists(dir + "/" + name); }
  std::string dir;
};

TEST_F(Services, AliasesKeepTheirFirstDirectoryAndMatchExactly) {
  ASSERT_TRUE(Run({"SetHomeDir,\"c:\\home\\\"", "SetAlias,\"pics\",\"d:\\one\\\"",
                   "SetAlias,\"pics\",\"d:\\two\\\"", "AliasToHomeDir,\"pics\""})
                  .empty());
  EXPECT_STREQ(HomeDir, "d:\\one\\");
  std::vector<std::string> shown = Run({"SetHomeDir,\"c:\\home\\\"", "AliasToHomeDir,\"Pics\""});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find(ScriptErrorBox("FuncSetAlias で指定したalias(Pics)が存在しません")), 0u)
      << shown[0];
  EXPECT_STREQ(HomeDir, "c:\\home\\");
}

TEST_F(Services, WaitHoldsTheLineForWholeTicks) {
  // 250 ms: two ticks; the section goes on at the second.
  ASSERT_EQ(Load({"[START]", "Goto,\"S\"", "[S]", "WaitSet,250", "Wait", "DiagNext,\"done\""}), 0);
  Start();
  EXPECT_EQ(PumpAndTick(), 2);
  EXPECT_STREQ(GetSectionName(kDiagNextSection).text, "done");
  EXPECT_EQ(WaitTicks, 0);
  // Below 100 ms nothing is waited; WaitSet alone only starts the count.
  SetUp();
  ASSERT_TRUE(Run({"WaitSet,50", "Wait", "WaitSet,1000"}).empty());
  EXPECT_FALSE(IsResumePending());
  EXPECT_EQ(WaitTicks, 10);
  std::vector<std::string> shown = Run({"Wait,"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find(ScriptErrorBox("FuncWait に引数()があります")), 0u) << shown[0];
}

TEST_F(Services, MouseCursorShowsFromTheNextCursorMessage) {
  ASSERT_TRUE(Run({"MouseCursor,32514"}).empty());
  EXPECT_EQ(MouseCursorId, 32514);
  EXPECT_EQ(cursor_shown, -1);
  ShowMouseCursor();
  EXPECT_EQ(cursor_shown, 32514);
  // The message commands take anything, or nothing, and do nothing.
  ASSERT_TRUE(
      Run({"MouseCursor,0", "IntrrimMsg", "LastMsg,", "LastMsgInterval,,,\"x\",UNKNOWN"}).empty());
  ShowMouseCursor();
  EXPECT_EQ(cursor_shown, 0);  // no cursor: the pointer is hidden
}

TEST_F(Services, LoggingAppendsPaddedLinesToTheFileOfTheDay) {
  std::string logs = dir + "/logs/";
  ASSERT_TRUE(Run({"SetLogDir1,\"" + logs + "\"", "Logging,3,-1,-1", "Logging,12,7,42"}).empty());
  EXPECT_EQ(Read("logs/19990307.log"),
            "1999年03月07日 09時05分30秒 分割数 ->  3 背景選択なし      フレーム選択なし \n"
            "1999年03月07日 09時05分30秒 分割数 -> 12 BG_KEY_NO -> 0007 FR_KEY_NO -> 0042\n");
  // The next day starts a new file.
  ClockStop({2000, 1, 6, 1, 0, 0, 0, 0}, {2000, 1, 6, 1, 0, 0, 0, 0});
  ASSERT_TRUE(Run({"SetLogDir1,\"" + logs + "\"", "Logging,123,-2,-1"}).empty());
  EXPECT_EQ(Read("logs/20000101.log"),
            "2000年01月01日 00時00分00秒 分割数 -> 123 BG_KEY_NO -> -002 フレーム選択なし \n");
}

TEST_F(Services, DatedFilesThatCannotBeWrittenAreSkippedSilently) {
  // Only one level of directory is made.
  std::string deep = dir + "/missing/logs/";
  ASSERT_TRUE(
      Run({"SetLogDir1,\"" + deep + "\"", "Logging,1,-1,-1", "DebugStart", "DebugEnd"}).empty());
  EXPECT_FALSE(Exists("missing"));
  EXPECT_EQ(opens, 1);
  // Without LogDir1 the files go to the current directory.
  LogDir1[0] = '\0';
  char* previous = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  ASSERT_TRUE(Run({"Logging,1,-1,-1"}).empty());
  ASSERT_EQ(chdir(previous), 0);
  std::free(previous);
  EXPECT_TRUE(Exists("19990307.log"));
  // The seam says what failed.
  EXPECT_FALSE(FileCreateDirectory(dir.c_str()));
  EXPECT_FALSE(FileAppend(dir.c_str(), "x", 1));
}

TEST_F(Services, DebugFileHoldsEveryLineExecutedWhileTheWindowIsOpen) {
  std::string set_dir = "SetLogDir1,\"" + dir + "/\"";
  ASSERT_TRUE(Run({set_dir, "IntrrimMsg,\"before\"", "DebugStart", "IntrrimMsg,\"待機\",1,2",
                   "FValSet,NEWV,0", "DebugEnd", "LastMsg,\"after\""})
                  .empty());
  // The values of variable arguments follow the line number; DebugEnd itself is not recorded,
  // since it closed the window.
  EXPECT_EQ(Read("19990307.deb"),
            "DebugStart(4):\nIntrrimMsg,\"待機\",1,2(5):\nFValSet,NEWV,0(6):0.000000 \n");
  EXPECT_EQ(repaints, 3);
  EXPECT_FALSE(DebugWindowIsOpen());
  EXPECT_EQ(closes, 1);

  // Space opens it (DebugWindowToggle); every retry of a suspended line is recorded.
  std::filesystem::remove(dir + "/19990307.deb");
  DebugWindowToggle();
  EXPECT_TRUE(DebugWindowIsOpen());
  ASSERT_TRUE(Run({set_dir, "WaitSet,200", "Wait", "LastMsgInterval"}).empty());
  EXPECT_EQ(Read("19990307.deb"), set_dir +
                                      "(2):\nWaitSet,200(3):\nWait(4):\nWait(4):\nWait(4):\n"
                                      "LastMsgInterval(5):\n");
  DebugWindowToggle();
  EXPECT_FALSE(DebugWindowIsOpen());
  EXPECT_EQ(closes, 2);
}

TEST_F(Services, DebugWindowThatCannotBeCreatedStaysClosed) {
  window_can_open = false;
  ASSERT_TRUE(Run({"SetLogDir1,\"" + dir + "/\"", "DebugStart", "LastMsg", "DebugEnd", "DebugEnd"})
                  .empty());
  EXPECT_FALSE(DebugWindowIsOpen());
  EXPECT_EQ(repaints, 0);
  EXPECT_FALSE(Exists("19990307.deb"));
  DebugWindowToggle();  // Space tries again
  EXPECT_EQ(opens, 2);
}

TEST_F(Services, LongTraceLinesAreCutInTheDebugFile) {
  // A line of 255 bytes whose variable's value does not fit any more.
  std::string line = "FValSet,";
  line += std::string(255 - line.size() - 2, 'V') + ",0";
  ASSERT_TRUE(Run({"SetLogDir1,\"" + dir + "/\"", "DebugStart", line}).empty());
  std::string deb = Read("19990307.deb");
  std::string last = deb.substr(deb.find('\n') + 1);
  EXPECT_EQ(last.size(), 256u);
  EXPECT_EQ(last, (line + "(4):").substr(0, 255) + "\n");
}

TEST(InputDrain, StopsAfterTheFirstInputStampedAfterTheRefreshBegan) {
  EXPECT_FALSE(InputDrainEndsWith(1000, 999));
  EXPECT_FALSE(InputDrainEndsWith(1000, 1000));
  EXPECT_TRUE(InputDrainEndsWith(1000, 1001));
  // The tick counter wrapped round during the refresh.
  EXPECT_TRUE(InputDrainEndsWith(0xF0000001u, 5));
  EXPECT_FALSE(InputDrainEndsWith(0xF0000001u, 0xF0000000u));
  EXPECT_FALSE(InputDrainEndsWith(0xF0000000u, 5));
}

}  // namespace
