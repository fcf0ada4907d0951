#include "app/command_list.h"

#include "interp/command_table.h"
#include "interp/date_commands.h"
#include "interp/flow_commands.h"
#include "interp/format_commands.h"
#include "interp/string_commands.h"
#include "interp/value_commands.h"

struct CommandEntry {
  const char* name;
  CommandHandler handler;
};

// The program's commands in the order of the table. A command that is not built yet keeps its
// place as a comment; it joins the table on its own line when it lands.
static const CommandEntry kCommands[] = {
    // SetHomeDir
    {"SetTouchSection", FuncSetTouchSection},
    {"SetEndSection", FuncSetEndSection},
    {"SetCoinSectionSub", FuncSetCoinSectionSub},
    {"SetVGAToFmEndSection", FuncSetVGAToFmEndSection},
    // PlayAvi
    // PlayAviRepeat
    // PlayWave
    // BmpBtn
    // Bmp
    // BmpC
    // AbsBmp
    // AbsBgBmp
    // AbsBmpC
    {"DiagNext", FuncDiagNext},
    {"ErrorNext", FuncErrorNext},
    {"OkNext", FuncOkNext},
    // DoClr
    // DoDiag
    // DoTitle
    // Xcopy
    // SetKillCardSrvDlg
    // SetNewVolSerial
    // SetChkDataArea
    {"SetTrueSection", FuncSetTrueSection},
    {"SetFalseSection", FuncSetFalseSection},
    // SetHostAdapter
    // InitAdapter
    // GetOsVersion
    // StartDialog
    // TgetDrvFileExist
    // DoSelBtn
    {"Goto", FuncGoto},
    {"If", FuncIf},
    // IntrrimMsg
    // LastMsg
    // LastMsgInterval
    // StrL
    // StrC
    // StrR
    // StrLWithBack
    // StrCWithBack
    // StrRWithBack
    // TitleStrL
    // TitleStrC
    // TitleStrR
    // TitleStrLWithBack
    // TitleStrCWithBack
    // TitleStrRWithBack
    {"StrSet", FuncStrSet},
    {"IValSet", FuncIValSet},
    {"IValInc", FuncIValInc},
    {"IValDec", FuncIValDec},
    {"IValAdd", FuncIValAdd},
    {"IValSub", FuncIValSub},
    {"IValMul", FuncIValMul},
    {"IValDiv", FuncIValDiv},
    {"IValMod", FuncIValMod},
    {"IValToStr", FuncIValToStr},
    {"FValToStr", FuncFValToStr},
    {"StrCat", FuncStrCat},
    {"StrSetn", FuncStrSetn},
    {"StrCmp", FuncStrCmp},
    {"DividStr", FuncDividStr},
    {"FValSet", FuncFValSet},
    {"FValAdd", FuncFValAdd},
    {"FValSub", FuncFValSub},
    {"FValMul", FuncFValMul},
    {"FValDiv", FuncFValDiv},
    // ClrMainWin
    // SetLeftMargin
    // SetRightMargin
    // SetUpperMargin
    // SetLowerMargin
    // SetHSpace
    // SetVSpace
    // DspUpdateWindow
    // SetAlias
    // AliasToHomeDir
    // AbsBmpToWkBuff
    // SetOffsetX1
    // SetOffsetY1
    // SetOffsetX2
    // SetOffsetY2
    // SetLogDir1
    // Logging
    // MouseCursor
    {"GetDateTime", FuncGetDateTime},
    {"GetDateTime2", FuncGetDateTime2},
    {"GetDate", FuncGetDate},
    {"GetTime", FuncGetTime},
    {"And", FuncAnd},
    {"Or", FuncOr},
    // WaitSet
    // Wait
    // DebugStart
    // DebugEnd
    // WinExec
    // WinExecEx
    // SetShutDown
    // ProgramExit
    // KillProcess
};

void FillCommandTable() {
  for (const CommandEntry& entry : kCommands) CommandTableAdd(entry.name, entry.handler);
}
