// A main window for the interpreter's tests: the script comes from a list of lines, posted
// messages wait in a queue until Pump() handles them, message boxes are recorded.
//
// SetUp puts the interpreter back as at program start, with an empty CommandTable. The tests of
// each layer reset their own layers above it and enter the command tables they need; app's tests
// run the main window's own reactions in place of the harness's.
#ifndef KELVADO_TESTS_INTERP_HARNESS_H
#define KELVADO_TESTS_INTERP_HARNESS_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/script_error.h"

// A box as InterpTest::boxes records it when it shows a script error.
inline std::string ScriptErrorBox(const std::string& text) {
  return std::string(kScriptErrorCaption) + ": " + text;
}

class InterpTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads these lines (line 1 first) as the script; the result of LoadScriptFrom.
  int Load(const std::vector<std::string>& lines);
  // The window's creation: runs section START; a script error shows its box and closes.
  void Start();
  // Handles queued messages as the message loop would; false once WM_CLOSE has been handled.
  bool Pump();
  // Pump(), then ticks until nothing is pending (at most `limit` ticks); the ticks run.
  int PumpAndTick(int limit = 1000);

  // NEWONE: runs the next section; a script error shows its box and closes.
  virtual void NewOne();
  // The tick: resumes what is pending. A layer that counts ticks adds its count.
  virtual void Tick();

  static std::vector<std::string> boxes;  // "CAPTION: TEXT" for each box shown
  static int posted_new_ones;             // NEWONE messages posted so far
  static bool close_posted;
};

#endif
