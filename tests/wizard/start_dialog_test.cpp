// StartDialog: how the way a dialog ends chooses what the script does next.
#include <string>
#include <vector>

#include "aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "engine/engine_reset.h"
#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "services/exit_commands.h"
#include "services/services_reset.h"
#include "tests/interp/harness.h"
#include "wizard/start_dialog.h"
#include "wizard/start_dialog_native.h"

namespace {

std::vector<int32_t> shown;  // the dialogs shown, by index
int32_t ending = 0;          // how the next dialog ends

int32_t Show(int32_t index) {
  shown.push_back(index);
  return ending;
}

class StartDialogTest : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetTargetIdentity();
    ResetEngine();
    ResetServices();
    ResetWizard();
    CommandTableAdd("StartDialog", FuncStartDialog);
    CommandTableAdd("SetTrueSection", FuncSetTrueSection);
    CommandTableAdd("SetFalseSection", FuncSetFalseSection);
    DialogHandler = Show;
    shown.clear();
    ShutDownOnExit = false;
  }
  void TearDown() override {
    DialogHandler = nullptr;
    ShutDownOnExit = false;
    InterpTest::TearDown();
  }

  // Runs section S, whose StartDialog names `dialog`; NextSection afterwards.
  std::string RunWith(const std::string& dialog) {
    ClearSectionTable();
    EXPECT_EQ(Load({"[S]", "SetTrueSection,\"T\"", "SetFalseSection,\"F\"",
                    "StartDialog,\"" + dialog + "\",RETVAL", "[T]", "[F]"}),
              0);
    ChooseSection("S");
    Pump();
    return GetSectionName(kNextSection).text;
  }
};

TEST_F(StartDialogTest, EndingsChooseTheNextStep) {
  ending = 1000;
  EXPECT_EQ(RunWith("DLG_CARD_INIT"), "T");  // further arguments are ignored
  ending = 2;
  EXPECT_EQ(RunWith("DLG_FALSE_END_PROGRAM"), "F");
  EXPECT_EQ(shown, (std::vector<int32_t>{4, 7}));
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(close_posted);

  ending = 1020;
  RunWith("DLG_TRUE_END_PROGRAM");
  EXPECT_TRUE(ShutDownOnExit);
  EXPECT_TRUE(close_posted);
}

TEST_F(StartDialogTest, UnknownNamesAndEndingsAreScriptErrors) {
  ending = 1000;
  RunWith("DLG_opening_1");  // names are case-sensitive
  EXPECT_TRUE(shown.empty());
  ASSERT_EQ(boxes.size(), 1u);
  ending = 7;
  RunWith("DLG_OPENING_1");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[1].find("FuncStartDialog Dialog戻り値(7)が不正です"), std::string::npos);
  EXPECT_FALSE(ShutDownOnExit);
}

}  // namespace
