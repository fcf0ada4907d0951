// The program's composition: its CommandTable, joined from the libraries' tables in the fixed
// order, and the built-in script as loaded.
#include <string>

#include "app/builtin_script.h"
#include "app/program.h"
#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/loader.h"
#include "interp/section_table.h"
#include "screen/screen_commands.h"
#include "services/services_commands.h"
#include "tests/interp/harness.h"
#include "wizard/wizard_commands.h"

namespace {

class Program : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetProgram();
  }
};

// The program's CommandTable in its order, which no change to a library's table may move.
const char kProgramOrder[] =
    "SetHomeDir SetTouchSection SetEndSection SetCoinSectionSub SetVGAToFmEndSection "
    "PlayAvi PlayAviRepeat PlayWave BmpBtn Bmp BmpC AbsBmp AbsBgBmp AbsBmpC DiagNext "
    "ErrorNext OkNext DoClr DoDiag DoTitle Xcopy SetKillCardSrvDlg SetNewVolSerial "
    "SetChkDataArea SetTrueSection SetFalseSection SetHostAdapter InitAdapter "
    "GetOsVersion StartDialog TgetDrvFileExist DoSelBtn Goto If IntrrimMsg LastMsg "
    "LastMsgInterval StrL StrC StrR StrLWithBack StrCWithBack StrRWithBack TitleStrL "
    "TitleStrC TitleStrR TitleStrLWithBack TitleStrCWithBack TitleStrRWithBack StrSet "
    "IValSet IValInc IValDec IValAdd IValSub IValMul IValDiv IValMod IValToStr FValToStr "
    "StrCat StrSetn StrCmp DividStr FValSet FValAdd FValSub FValMul FValDiv ClrMainWin "
    "SetLeftMargin SetRightMargin SetUpperMargin SetLowerMargin SetHSpace SetVSpace "
    "DspUpdateWindow SetAlias AliasToHomeDir AbsBmpToWkBuff SetOffsetX1 SetOffsetY1 "
    "SetOffsetX2 SetOffsetY2 SetLogDir1 Logging MouseCursor GetDateTime GetDateTime2 "
    "GetDate GetTime And Or WaitSet Wait DebugStart DebugEnd WinExec WinExecEx "
    "SetShutDown ProgramExit KillProcess";

TEST_F(Program, CommandTableHoldsEveryLibrarysCommandsOnceInTheFixedOrder) {
  FillCommandTable();
  std::string order;
  for (int32_t i = 0; CommandTableName(i) != nullptr; ++i)
    order += (i == 0 ? "" : " ") + std::string(CommandTableName(i));
  EXPECT_EQ(order, kProgramOrder);
  // Each command of each library is there with its library's handler: none left out, none in two
  // libraries, no name in the order that no library has.
  int32_t listed = 0;
  for (const CommandEntry* table :
       {kInterpCommands, kServicesCommands, kScreenCommands, kWizardCommands})
    for (const CommandEntry* entry = table; entry->name != nullptr; ++entry, ++listed) {
      ASSERT_NE(entry->handler, nullptr) << entry->name;
      EXPECT_EQ(CommandTableFind(entry->name), entry->handler) << entry->name;
    }
  EXPECT_EQ(listed, CommandCount());
}

TEST_F(Program, BuiltInScriptGivesThirteenSectionsAndFiftyThreeLines) {
  ASSERT_EQ(LoadScriptFrom(BuiltInScript), 0);
  EXPECT_STREQ(ScriptName, "KELVADO.INI");
  EXPECT_EQ(BuiltInScript(0), nullptr);
  EXPECT_EQ(BuiltInScript(67), nullptr);
  struct Expected {
    const char* name;
    int first, last;
  };
  const Expected sections[] = {
      {"START", 2, 3},         {"INIT_DATA", 5, 12},
      {"INIT_DATA_B", 14, 20}, {"INIT_ADAPTER", 22, 30},
      {"OPENING_DLG1", 32, 34}, {"CHECK_TARGET_DRIVE", 36, 38},
      {"CHK_FILE_EXIST", 40, 42}, {"MAKE_PARTITION_TARGET_DRIVE", 44, 46},
      {"CRAD_INIT", 48, 50},   {"START_KELVADO", 52, 54},
      {"TRUE_END_DIALOG", 56, 58}, {"FALSE_END_DIALOG", 60, 62},
      {"EXIT_PROGRAM", 64, 66},
  };
  EXPECT_EQ(SectionCount(), 13);
  int lines = 0;
  for (const Expected& expected : sections) {
    const Section* section = FindSection(expected.name);
    ASSERT_NE(section, nullptr) << expected.name;
    ASSERT_EQ(section->line_count, expected.last - expected.first + 1) << expected.name;
    for (int i = 0; i < section->line_count; ++i)
      EXPECT_EQ(section->lines[i].line_number, expected.first + i) << expected.name;
    lines += section->line_count;
  }
  EXPECT_EQ(lines, 53);
  const Section* adapter = FindSection("INIT_ADAPTER");
  EXPECT_STREQ(adapter->lines[6].text, "If,RETVAL,\"!=\",1,\"EXIT_PROGRAM\"");
  EXPECT_EQ(adapter->lines[6].line_number, 28);
  EXPECT_STREQ(FindSection("INIT_DATA")->lines[0].text, "IValSet,ARROW_CURSOR,32512");
  EXPECT_STREQ(FindSection("INIT_DATA_B")->lines[0].text, "StrSet,H_Gothic,\"標準ゴシック\"");
  EXPECT_STREQ(FindSection("INIT_DATA_B")->lines[2].text,
               "StrSet,TimesNewRoman,\"Times New Roman\"");
  EXPECT_EQ(FindSection("start"), nullptr);
  EXPECT_EQ(FindSection("START "), nullptr);
}

}  // namespace
