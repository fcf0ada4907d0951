#include "services/process_commands.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "interp/arguments.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/window.h"
#include "services/directories.h"

ProcessRecord ChildProcess = {};

static Lock* const child_lock = LockCreate();
// Set by the exit sequence: watchers choose nothing any more and end.
static bool closed = false;
static Event* const wake_watchers = EventCreate(true, false);
static int32_t live_watchers = 0;
// Numbers of the last WinExecEx and of the one whose program ChildProcess records: watchers may
// create their programs in any order, but the record goes to the program of the latest call.
static uint32_t orders_given = 0;
static uint32_t recorded_order = 0;
// The watcher threads, for the exit sequence to wait for; only the main thread touches the list.
static std::vector<Thread*> watchers;

namespace {
// What a watcher is handed: its own copies, so that the script may go on changing HomeDir.
struct WatchOrder {
  char command_line[256];
  char directory[256];
  uint32_t number;  // WinExecEx calls counted from 1
};
}  // namespace

uint32_t WatchedProcessId() {
  LockHold hold(child_lock);
  return ChildProcess.process_id;
}

static void TerminateRecordedLocked() {
  if (ChildProcess.process_id != 0) ProcessTerminate(ChildProcess.process_id);
}

void TerminateWatchedProgram() {
  LockHold hold(child_lock);
  TerminateRecordedLocked();
}

// Records the new program; false when the exit sequence has begun (the program is then ended
// as the exit sequence would have ended it).
static bool Record(const ProcessRecord& program, uint32_t number) {
  LockHold hold(child_lock);
  if (closed) {
    ProcessTerminate(program.process_id);
    return false;
  }
  if (number > recorded_order) {
    ChildProcess = program;
    recorded_order = number;
  }
  return true;
}

static bool IsClosed() {
  LockHold hold(child_lock);
  return closed;
}

// The program has ended (or the exit sequence woke the watcher): its end section is chosen
// unless the tool is closing, and the record is emptied if it still names this program.
static void Finish(const ProcessRecord& program, bool ended) {
  LockHold hold(child_lock);
  if (ended && !closed) ChooseEventSection(kEndSection, true);
  if (ChildProcess.process_id == program.process_id) ChildProcess = ProcessRecord();
}

static void ShowCreateError(uint32_t error) {
  char text[96];
  std::snprintf(text, sizeof text, "FuncWinExec の実行エラー(CreateProcess):%lu",
                static_cast<unsigned long>(error));
  if (!IsClosed()) ShowMessageBox(false, text, "WinExecProc", kMbIconInformation);
}

static void WatcherEnded() {
  LockHold hold(child_lock);
  --live_watchers;
}

// WinExecProc: creates the program, waits for its end, waking every second, and chooses the
// end section. Exit code 1 when the program could not be created.
static uint32_t WinExecProc(void* arg) {
  WatchOrder* order = static_cast<WatchOrder*>(arg);
  ProcessRecord program = {};
  const char* directory = order->directory[0] != '\0' ? order->directory : nullptr;
  uint32_t error = ProcessCreate(order->command_line, directory, &program);
  uint32_t exit_code = 0;
  if (error != 0) {
    ShowCreateError(error);
    exit_code = 1;
  } else {
    if (Record(program, order->number)) {
      bool ended = false;
      while (!ended && !IsClosed()) ended = ProcessWaitEnd(program, wake_watchers, 1000);
      Finish(program, ended);
    }
    ProcessRelease(program);
  }
  std::free(order);
  WatcherEnded();
  return exit_code;
}

// Joins the watchers that have ended, so that the list does not grow with every program.
static void JoinEndedWatchers() {
  size_t kept = 0;
  for (Thread* thread : watchers) {
    if (ThreadWait(thread, 0) == 1)
      ThreadJoin(thread);
    else
      watchers[kept++] = thread;
  }
  watchers.resize(kept);
}

bool StartWatcher(const char* command_line, const char* directory) {
  JoinEndedWatchers();
  WatchOrder* order = static_cast<WatchOrder*>(std::malloc(sizeof(WatchOrder)));
  if (order == nullptr) return false;
  TextCopy(order->command_line, sizeof order->command_line, command_line);
  TextCopy(order->directory, sizeof order->directory, directory);
  {
    LockHold hold(child_lock);
    ++live_watchers;
    order->number = ++orders_given;
  }
  Thread* thread = ThreadStart(WinExecProc, order);
  if (thread == nullptr) {
    std::free(order);
    WatcherEnded();
    return false;
  }
  watchers.push_back(thread);
  return true;
}

void EndWatchers() {
  {
    LockHold hold(child_lock);
    closed = true;
    TerminateRecordedLocked();
  }
  EventSet(wake_watchers);
  uint32_t start = TickCount();
  size_t kept = 0;
  for (Thread* thread : watchers) {
    uint32_t spent = TickCount() - start;
    uint32_t left = spent < kWatcherEndMs ? kWatcherEndMs - spent : 0;
    if (ThreadWait(thread, left) == 1)
      ThreadJoin(thread);
    else
      watchers[kept++] = thread;
  }
  watchers.resize(kept);
}

int32_t LiveWatchers() {
  LockHold hold(child_lock);
  return live_watchers;
}

void ResetWatchers() {
  JoinEndedWatchers();
  LockHold hold(child_lock);
  closed = false;
  EventReset(wake_watchers);
  ChildProcess = ProcessRecord();
  orders_given = recorded_order = 0;
}

// WinExec answers above 31 when it has started the program.
static const uint32_t kWinExecStarted = 32;

int32_t FuncWinExec(char* args) {
  char* command_line;
  int32_t result = ReadArguments("FuncWinExec", args, Value(&command_line));
  if (result < 0) return result;
  uint32_t started = ProcessWinExec(command_line);
  if (started >= kWinExecStarted) return kGoOn;
  ScriptErrorSet("FuncWinExec の実行エラー(%d)", static_cast<int>(started));
  return kFailed;
}

// The script goes on at once: a program that cannot be started is reported only by the
// watcher's own box (and a watcher thread that cannot be had starts nothing).
int32_t FuncWinExecEx(char* args) {
  char* command_line;
  int32_t result = ReadArguments("FuncWinExecEx", args, Value(&command_line));
  if (result < 0) return result;
  StartWatcher(command_line, HomeDir);
  return kGoOn;
}

int32_t FuncKillProcess(char* args) {
  if (RejectArguments("FuncTermExec", args) < 0) return kFailed;
  TerminateWatchedProgram();
  ShowMainWindow();
  return kGoOn;
}
