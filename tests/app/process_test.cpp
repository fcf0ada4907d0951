// Started programs, the watcher threads and the exit sequence, over stand-in programs: the end
// section, the shared ChildProcess record, the races between a program's end, KillProcess and the
// exit sequence, and the order of the exit sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/exit_sequence.h"
#include "app/main_window.h"
#include "app/program.h"
#include "aspi/aspi.h"
#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/section_choice.h"
#include "platform/os_native.h"
#include "platform/process_native.h"
#include "platform/window_native.h"
#include "screen/screen_native.h"
#include "services/directories.h"
#include "services/exit_commands.h"
#include "services/process_commands.h"
#include "tests/interp/harness.h"

namespace {

// Stand-in programs: created with an identifier, they run until the test ends them or they are
// terminated. Terminating a program whose handles were already closed is counted as a fault:
// the system may have given its identifier to another program by then.
struct Program {
  bool ended = false;
  bool released = false;
  bool terminated = false;
};
std::mutex world_lock;
std::map<uint32_t, Program> programs;
std::vector<std::string> created;  // "command line|directory"
uint32_t next_id = 100;
int stale_terminations = 0;
std::vector<std::string> steps;  // what the window and the system were asked to do, in order
std::vector<std::string> shown;  // boxes, from any thread
std::atomic<int> new_ones{0};
std::atomic<bool> closing{false};
std::atomic<int> posts_after_exit{0};
std::atomic<bool> close_asked{false};
int counted = 0;  // runs of the Count command

void Step(const std::string& step) {
  std::lock_guard<std::mutex> hold(world_lock);
  steps.push_back(step);
}

uint32_t Create(char* command_line, const char* directory, ProcessRecord* started) {
  std::lock_guard<std::mutex> hold(world_lock);
  created.push_back(std::string(command_line) + "|" + (directory ? directory : "(none)"));
  if (std::string(command_line).rfind("missing", 0) == 0) return 2;
  uint32_t id = next_id++;
  programs[id].ended = std::string(command_line).rfind("quick", 0) == 0;
  *started = {reinterpret_cast<void*>(static_cast<uintptr_t>(id)), nullptr, id, id + 1};
  return 0;
}

bool WaitEnd(const ProcessRecord& program, Event* wake, uint32_t timeout_ms) {
  for (uint32_t waited = 0;; ++waited) {
    {
      std::lock_guard<std::mutex> hold(world_lock);
      if (programs[program.process_id].ended) return true;
    }
    if (waited >= timeout_ms || EventWait(wake, 0) == 1) return false;
    SleepMs(1);
  }
}

bool Terminate(uint32_t id) {
  std::lock_guard<std::mutex> hold(world_lock);
  steps.push_back("terminate " + std::to_string(id));
  auto found = programs.find(id);
  if (found == programs.end()) return false;
  if (found->second.released) ++stale_terminations;
  found->second.ended = found->second.terminated = true;
  return true;
}

void Release(const ProcessRecord& program) {
  std::lock_guard<std::mutex> hold(world_lock);
  programs[program.process_id].released = true;
}

void End(uint32_t id) {
  std::lock_guard<std::mutex> hold(world_lock);
  programs[id].ended = true;
}

bool Terminated(uint32_t id) {
  std::lock_guard<std::mutex> hold(world_lock);
  return programs[id].terminated;
}

int32_t Count(char*) {
  ++counted;
  return 0;
}

// Waits (at most 5 s) until the condition holds.
template <typename F>
bool Eventually(F condition) {
  for (int i = 0; i < 5000 && !condition(); ++i) SleepMs(1);
  return condition();
}

class Processes : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetProgram();
    CommandTableAdd("Count", Count);
    FillCommandTable();
    programs.clear();
    next_id = 100;
    created.clear();
    steps.clear();
    shown.clear();
    stale_terminations = counted = 0;
    new_ones = posts_after_exit = 0;
    closing = close_asked = false;
    ProcessHandlers = {nullptr, Create, WaitEnd, Terminate, Release};
    // NEWONE may come from a watcher thread: only counted there, run by Pump below.
    PostNewOneHandler = [] {
      if (closing) ++posts_after_exit;
      ++new_ones;
    };
    PostCloseHandler = [] { close_asked = true; };
    MessageBoxHandler = [](bool, const char* text, const char* caption, uint32_t) -> int32_t {
      std::lock_guard<std::mutex> hold(world_lock);
      shown.push_back(std::string(caption) + ": " + text);
      return kIdOk;
    };
    ShowMainWindowHandler = [] { Step("show"); };
    WindowTimerHandler = [](uint32_t id, uint32_t period) {
      Step("timer " + std::to_string(id) + (period ? " every " + std::to_string(period) : " stop"));
    };
    ReleaseScreenImageHandler = [] {
      // The device layer and the drawing buffers are gone by now.
      Step(HostAdapterCount == -1 ? "image (aspi released)" : "image (aspi still held)");
    };
    ShutDownSystemHandler = [] { Step("shut down"); };
    PostQuitHandler = [] { Step("quit"); };
    LineExecutedHook = [] { traced.push_back(TraceLine); };
    traced.clear();
  }
  void TearDown() override {
    // No watcher may outlive the test: the exit sequence ends them all.
    RunExitSequence();
    EXPECT_EQ(LiveWatchers(), 0);
    ResetWatchers();
    ProcessHandlers = {};
    ShowMainWindowHandler = PostQuitHandler = nullptr;
    WindowTimerHandler = nullptr;
    ReleaseScreenImageHandler = nullptr;
    ShutDownSystemHandler = nullptr;
    ShutDownOnExit = false;
    InterpTest::TearDown();
  }
  // Runs the NEWONE messages posted so far, as the message loop would; a close runs the exit
  // sequence, as the window's destruction does.
  void Pump() {
    while (new_ones > 0 && !close_asked) {
      --new_ones;
      MainWindowNewOne();
    }
    if (close_asked) RunExitSequence();
  }
  void Start(const std::vector<std::string>& lines) {
    ASSERT_EQ(Load(lines), 0);
    MainWindowCreate();
    Pump();
  }
  uint32_t WaitForRecord(uint32_t not_this = 0) {
    EXPECT_TRUE(Eventually([&] { return WatchedProcessId() != 0 && WatchedProcessId() != not_this; }));
    return WatchedProcessId();
  }
  // Both programs of "first" and "second" are created, in whichever order; the record names the
  // program of the later command.
  void WaitForBoth(uint32_t* first, uint32_t* second) {
    ASSERT_TRUE(Eventually([] {
      std::lock_guard<std::mutex> hold(world_lock);
      return created.size() == 2;
    }));
    bool first_is_100 = created[0] == "first|(none)";
    *first = first_is_100 ? 100 : 101;
    *second = first_is_100 ? 101 : 100;
    uint32_t watched = *second;
    EXPECT_TRUE(Eventually([watched] { return WatchedProcessId() == watched; }));
  }
  static std::vector<std::string> traced;
};
std::vector<std::string> Processes::traced;

TEST_F(Processes, EndSectionRunsOnceTheStartingSectionHasGoneOn) {
  Start({"[START]", "SetHomeDir,\"d:\\work\\\"", "SetEndSection,\"ENDED\"", "WinExecEx,\"quick a\"",
         "SetHomeDir,\"e:\\later\\\"", "Count", "[ENDED]", "Count", "WinExecEx,\"quick b\""});
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
  Pump();
  EXPECT_EQ(counted, 2);
  ASSERT_GE(traced.size(), 7u);
  EXPECT_EQ(traced[4], "Count(6):");  // the starting section went on first
  EXPECT_EQ(traced[5], "Count(8):");
  // The program starts in HomeDir as it was at the command; the end section is used up, so the
  // second program's end runs nothing.
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
  Pump();
  EXPECT_EQ(counted, 2);
  EXPECT_EQ(created, (std::vector<std::string>{"quick a|d:\\work\\", "quick b|e:\\later\\"}));
  EXPECT_EQ(WatchedProcessId(), 0u);
  EXPECT_STREQ(GetSectionName(kEndSection).text, "");
  // Without HomeDir the program starts in the tool's own current directory.
  HomeDir[0] = '\0';
  char line[] = "\"quick c\"";
  EXPECT_EQ(FuncWinExecEx(line), 0);
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
  EXPECT_EQ(created.back(), "quick c|(none)");
}

TEST_F(Processes, FailuresToStartAndWrongArguments) {
  // WinExec's own result stops the script.
  ProcessHandlers.win_exec = [](const char*) -> uint32_t { return 2; };
  Start({"[START]", "WinExec,\"missing.exe\"", "Count"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find("KELVADO.INI ERROR!: FuncWinExec の実行エラー(2)\n\n"), 0u) << shown[0];
  EXPECT_EQ(counted, 0);
  EXPECT_TRUE(close_asked);

  // A WinExecEx program that cannot be created is reported only by the watcher's box; the script
  // has gone on and no end section runs.
  SetUp();
  Start({"[START]", "SetEndSection,\"ENDED\"", "WinExecEx,\"missing.exe\"", "Count", "[ENDED]",
         "Count"});
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
  Pump();
  EXPECT_EQ(counted, 1);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "WinExecProc: FuncWinExec の実行エラー(CreateProcess):2"}));

  // KillProcess takes no arguments, not even an empty one, and names itself FuncTermExec.
  SetUp();
  Start({"[START]", "KillProcess,", "Count"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find("KELVADO.INI ERROR!: FuncTermExec に引数()があります"), 0u);
  // With nothing watched it only shows the window; SetShutDown arms timer 2 with its third value.
  SetUp();
  Start({"[START]", "KillProcess", "SetShutDown,1,2,5000,4,5", "Count"});
  EXPECT_EQ(steps, (std::vector<std::string>{"show", "timer 2 every 5000"}));
  EXPECT_EQ(counted, 1);
}

TEST_F(Processes, TwoProgramsEndingInEitherOrder) {
  Start({"[START]", "SetEndSection,\"ENDED\"", "WinExecEx,\"first\"", "WinExecEx,\"second\"",
         "[ENDED]", "Count"});
  uint32_t first, second;
  WaitForBoth(&first, &second);
  // The first one ends: its end section runs, and the record still names the second program,
  // which KillProcess can therefore still end.
  End(first);
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 1; }));
  Pump();
  EXPECT_EQ(counted, 1);
  EXPECT_EQ(WatchedProcessId(), second);
  EXPECT_EQ(FuncKillProcess(nullptr), 0);
  EXPECT_TRUE(Terminated(second));
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
  EXPECT_EQ(WatchedProcessId(), 0u);

  // The other way round: the newer program ends first and empties the record; the older one's
  // end leaves it empty, and KillProcess then terminates nothing.
  SetUp();
  Start({"[START]", "SetEndSection,\"ENDED\"", "WinExecEx,\"first\"", "WinExecEx,\"second\"",
         "[ENDED]", "Count"});
  WaitForBoth(&first, &second);
  End(second);
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 1; }));
  EXPECT_EQ(WatchedProcessId(), 0u);
  End(first);
  ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
  Pump();
  EXPECT_EQ(counted, 1);
  steps.clear();
  EXPECT_EQ(FuncKillProcess(nullptr), 0);
  EXPECT_EQ(steps, std::vector<std::string>{"show"});
  EXPECT_EQ(stale_terminations, 0);
}

TEST_F(Processes, KillProcessWhileTheWatcherSeesTheEnd) {
  ASSERT_EQ(Load({"[START]", "[ENDED]", "Count"}), 0);
  for (int round = 0; round < 200; ++round) {
    SetSectionName(kEndSection, "ENDED");
    ASSERT_TRUE(StartWatcher("runs", ""));
    uint32_t id = WaitForRecord();
    std::thread ends([id] { End(id); });
    TerminateWatchedProgram();
    ends.join();
    ASSERT_TRUE(Eventually([] { return LiveWatchers() == 0; }));
    Pump();
    ASSERT_EQ(counted, round + 1) << "the end section runs once, whoever ended the program";
    ASSERT_EQ(WatchedProcessId(), 0u);
  }
  EXPECT_EQ(stale_terminations, 0);
}

TEST_F(Processes, ExitSequenceWhileAWatcherPostsNewOne) {
  ASSERT_EQ(Load({"[START]", "[ENDED]", "Count"}), 0);
  for (int round = 0; round < 200; ++round) {
    SetUp();
    SetSectionName(kEndSection, "ENDED");
    // An older program, no longer watched by identifier, and the watched one, which ends just as
    // the tool closes.
    ASSERT_TRUE(StartWatcher("older", ""));
    uint32_t older = WaitForRecord();
    ASSERT_TRUE(StartWatcher("watched", ""));
    uint32_t watched = WaitForRecord(older);
    std::thread ends([watched] { End(watched); });
    RunExitSequence();
    closing = true;
    ends.join();
    // Every watcher has ended with the sequence; none posts afterwards.
    ASSERT_EQ(LiveWatchers(), 0);
    SleepMs(round % 10 == 0 ? 20 : 0);
    ASSERT_EQ(posts_after_exit, 0);
    ASSERT_FALSE(Terminated(older));  // only the watched program is the tool's to end
    ASSERT_EQ(steps.back(), "quit");
  }
  EXPECT_EQ(stale_terminations, 0);
}

TEST_F(Processes, ExitSequenceReleasesEverythingOnceAndShutsDownLast) {
  // ProgramExit: the rest of the section still runs; the close then runs the sequence.
  Start({"[START]", "SetEndSection,\"ENDED\"", "WinExecEx,\"runs\"", "Goto,\"WAIT\"", "[WAIT]",
         "ProgramExit", "Count", "[ENDED]", "Count"});
  EXPECT_EQ(counted, 1);
  EXPECT_TRUE(close_asked);
  EXPECT_EQ(std::count(steps.begin(), steps.end(), "shut down"), 0);
  EXPECT_EQ(steps.back(), "quit");

  SetUp();
  HostAdapterCount = 1;
  ASSERT_TRUE(StartWatcher("runs", ""));
  uint32_t id = WaitForRecord();
  ShutDownOnExit = true;
  MainWindowKey(kKeyEscape);  // Esc, as during a Wait
  Pump();
  RunExitSequence();          // a second destruction does nothing more
  EXPECT_EQ(steps, (std::vector<std::string>{"terminate " + std::to_string(id),
                                             "image (aspi released)", "timer 1 stop",
                                             "timer 2 stop", "shut down", "quit"}));
  EXPECT_TRUE(ExitSequenceHasRun());
  EXPECT_EQ(LiveWatchers(), 0);
}

}  // namespace
