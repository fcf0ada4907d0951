// The text commands, the screen commands and the layout settings as script lines run them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/commands.h"
#include "interp/script_error.h"
#include "interp/section_table.h"
#include "interp/var_table.h"
#include "platform/window_native.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "screen/paint.h"
#include "screen/screen_commands.h"
#include "services/services_commands.h"
#include "services/services_reset.h"
#include "tests/interp/harness.h"

namespace {

int refreshes = 0;

class ScreenCommands : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetServices();
    ResetScreen();
    for (const CommandEntry* table : {kInterpCommands, kServicesCommands, kScreenCommands})
      CommandTableAddAll(table);
    ScreenWidth = 640;
    ScreenHeight = 480;
    refreshes = 0;
    RefreshMainWindowHandler = [] { ++refreshes; };
  }
  void TearDown() override {
    RefreshMainWindowHandler = nullptr;
    ResetScreen();
    InterpTest::TearDown();
  }
  // Runs the lines as section START of a fresh script; the boxes shown, if any.
  std::vector<std::string> Run(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "[START]");
    ClearSectionTable();
    ScriptErrorClear();
    boxes.clear();
    EXPECT_EQ(Load(lines), 0);
    Start();
    return boxes;
  }
};

const char kTitle[] = "Title";

TEST_F(ScreenCommands, TextCommandsFillOneItemAndAppendItToTheirList) {
  ASSERT_TRUE(Run({"StrC,\"標準\",0.0,0.1,1.0,0.2,255,256,-1,\"Arial Bold\",7",
                   "StrLWithBack,\"L\",0.0,0.0,0.5,0.5,1,2,3,\"F\",4,10,20,30,2",
                   "StrR,\"R\",0.0,0.0,0.5,0.5,0,0,0,\"F\",0",
                   "TitleStrC,\"" + std::string(kTitle) + "\",0.0,0.0,1.0,1.0,0,0,0,\"F\",4",
                   "TitleStrRWithBack,\"T\",0.0,0.0,1.0,1.0,0,0,0,\"F\",4,0,0,0,1"})
                  .empty());
  ASSERT_EQ(DisplayList.count, 3);
  const DisplayItem& c = *DisplayList.items[0];
  EXPECT_EQ((std::vector<int>{c.left, c.top, c.right, c.bottom}),
            (std::vector<int>{0, 48, 640, 96}));
  EXPECT_STREQ(c.text, "標準");
  EXPECT_STREQ(c.font_face, "Arial Bold");
  EXPECT_EQ(c.text_colour, 0xFF00FFu);  // 255, 256 -> 0, -1 -> 255
  EXPECT_EQ(c.alignment, 0);
  EXPECT_EQ(c.weight, 7);
  EXPECT_EQ(c.outlined, 0);
  const DisplayItem& l = *DisplayList.items[1];
  EXPECT_EQ(l.alignment, -1);
  EXPECT_EQ(l.outlined, 1);
  EXPECT_EQ(l.outline_colour, 0x1E140Au);
  EXPECT_EQ(l.outline_width, 2);
  EXPECT_EQ(DisplayList.items[2]->alignment, 1);
  ASSERT_EQ(TitleList.count, 2);
  EXPECT_STREQ(TitleList.items[0]->text, kTitle);
  EXPECT_EQ(TitleList.items[1]->alignment, 1);
  EXPECT_EQ(TitleList.items[1]->outlined, 1);
  EXPECT_EQ(refreshes, 0);  // no text command refreshes by itself
}

TEST_F(ScreenCommands, BadTextArgumentsAppendNothing) {
  // A ...WithBack line with only the ten arguments of a plain one: the parser's message.
  std::vector<std::string> shown = Run({"StrCWithBack,\"x\",0.0,0.1,1.0,0.2,255,255,255,\"F\",7"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find(ScriptErrorBox("zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(")), 0u) << shown[0];
  EXPECT_EQ(DisplayList.count, 0);
  // A face variable that was never set.
  SetUp();
  shown = Run({"TitleStrL,\"x\",0.0,0.1,1.0,0.2,255,255,255,ArialBlod,7"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find(ScriptErrorBox("無効な変数ｴﾗｰ(ArialBlod)")), 0u) << shown[0];
  EXPECT_EQ(TitleList.count, 0);
}

TEST_F(ScreenCommands, ClrMainWinHoldsUntilDoClrWhichEmptiesEverything) {
  ASSERT_TRUE(Run({"StrL,\"a\",0.0,0.0,1.0,0.1,0,0,0,\"F\",4",
                   "TitleStrL,\"t\",0.0,0.0,1.0,0.1,0,0,0,\"F\",4", "ClrMainWin,anything at all",
                   "StrL,\"b\",0.0,0.0,1.0,0.1,0,0,0,\"F\",4"})
                  .empty());
  EXPECT_TRUE(MainWinCleared);
  EXPECT_EQ(refreshes, 0);
  EXPECT_EQ(DisplayList.count, 2);
  WorkBuffer = PackedDibCreate(100);
  ASSERT_TRUE(Run({"DoClr"}).empty());
  EXPECT_FALSE(MainWinCleared);
  EXPECT_EQ(DisplayList.count, 0);
  EXPECT_EQ(TitleList.count, 0);
  EXPECT_EQ(WorkBuffer, nullptr);  // freed: the sanitizers see a leak otherwise
  EXPECT_EQ(refreshes, 1);
}

TEST_F(ScreenCommands, CommandsWithoutArgumentsRejectEvenAnEmptyOne) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {{"DoClr,", "FuncDoClr に引数()があります"},
                        {"DspUpdateWindow,1", "FuncDspUpdateWindow に引数(1)があります"},
                        {"DoTitle,\"x\"", "FuncDoTitle に引数(\"x\")があります"}};
  for (const Case& c : cases) {
    SetUp();
    ASSERT_TRUE(Run({"StrL,\"a\",0.0,0.0,1.0,0.1,0,0,0,\"F\",4", "ClrMainWin"}).empty());
    std::vector<std::string> shown = Run({c.line});
    ASSERT_EQ(shown.size(), 1u) << c.line;
    EXPECT_EQ(shown[0].find(ScriptErrorBox(c.message)), 0u) << shown[0];
    EXPECT_EQ(DisplayList.count, 1) << c.line;
    EXPECT_TRUE(MainWinCleared) << c.line;
    EXPECT_EQ(refreshes, 0) << c.line;
  }
  ASSERT_TRUE(Run({"DspUpdateWindow", "DoTitle", "DoDiag,whatever,\"x\"", "DoDiag"}).empty());
  EXPECT_EQ(refreshes, 1);
}

TEST_F(ScreenCommands, LayoutSettingsTakeRealsAndTheOffsetsCreateVariables) {
  ASSERT_TRUE(Run({"SetLeftMargin,0.1", "SetOffsetX1,0.5", "SetOffsetY1,-2"}).empty());
  EXPECT_DOUBLE_EQ(LeftMargin, 0.1);
  EXPECT_DOUBLE_EQ(OffsetX1, 0.5);
  EXPECT_DOUBLE_EQ(OffsetY1, -2.0);
  ASSERT_TRUE(Run({"SetOffsetX2,NEWNAME", "SetOffsetX1,NEWNAME"}).empty());
  ASSERT_NE(VarFind("NEWNAME"), nullptr);
  EXPECT_EQ(VarFind("NEWNAME")->kind, kVarReal);
  EXPECT_DOUBLE_EQ(OffsetX1, 0.0);
  // The margins take mode n: an unknown name fails and the setting stays.
  std::vector<std::string> shown = Run({"SetLeftMargin,UNKNOWN"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find(ScriptErrorBox("無効な変数ｴﾗｰ(UNKNOWN)")), 0u) << shown[0];
  EXPECT_DOUBLE_EQ(LeftMargin, 0.1);
  EXPECT_EQ(VarFind("UNKNOWN"), nullptr);
}

}  // namespace
