#include "tests/interp/harness.h"

#include <deque>

#include "interp/exec.h"
#include "interp/loader.h"
#include "interp/section_choice.h"
#include "platform/window_native.h"

std::vector<std::string> InterpTest::boxes;
int InterpTest::posted_new_ones = 0;
bool InterpTest::close_posted = false;

namespace {
enum Message { kNewOne, kClose };
std::deque<Message> queue;
std::vector<std::string> script;

const char* ScriptLineAt(int32_t n) {
  if (n < 1 || static_cast<size_t>(n) > script.size()) return nullptr;
  return script[static_cast<size_t>(n) - 1].c_str();
}

// Every script error ends the program, as the main window shows it.
void ShowScriptError() {
  ShowMessageBox(true, ScriptError, kScriptErrorCaption, kScriptErrorStyle);
  PostClose();
}
}  // namespace

void InterpTest::SetUp() {
  ResetInterpreter();
  queue.clear();
  boxes.clear();
  posted_new_ones = 0;
  close_posted = false;
  MessageBoxHandler = [](bool, const char* text, const char* caption, uint32_t) -> int32_t {
    boxes.push_back(std::string(caption) + ": " + text);
    return kIdOk;
  };
  PostNewOneHandler = [] {
    ++posted_new_ones;
    queue.push_back(kNewOne);
  };
  PostCloseHandler = [] {
    close_posted = true;
    queue.push_back(kClose);
  };
}

void InterpTest::TearDown() {
  MessageBoxHandler = nullptr;
  PostNewOneHandler = nullptr;
  PostCloseHandler = nullptr;
  LineExecutedHook = nullptr;
}

int InterpTest::Load(const std::vector<std::string>& lines) {
  script = lines;
  return LoadScriptFrom(ScriptLineAt);
}

void InterpTest::Start() {
  if (RunStartSection() < 0) ShowScriptError();
}

void InterpTest::NewOne() {
  if (RunNextSection() < 0) ShowScriptError();
}

void InterpTest::Tick() { ResumeAtTick(); }

bool InterpTest::Pump() {
  while (!queue.empty()) {
    Message message = queue.front();
    queue.pop_front();
    if (message == kClose) {
      queue.clear();
      return false;
    }
    NewOne();
  }
  return true;
}

int InterpTest::PumpAndTick(int limit) {
  int ticks = 0;
  while (Pump() && IsResumePending() && ticks < limit) {
    Tick();
    ++ticks;
  }
  return ticks;
}
