#include "app/program.h"

#include "app/exit_sequence.h"
#include "aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/exec.h"
#include "interp/formats.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "screen/media.h"
#include "screen/screen_commands.h"
#include "services/cursor_wait.h"
#include "services/debug_window.h"
#include "services/directories.h"
#include "services/exit_commands.h"
#include "services/logging.h"
#include "services/process_commands.h"
#include "services/services_reset.h"
#include "wizard/adapter_commands.h"
#include "wizard/start_dialog.h"
#include "wizard/target_commands.h"

struct CommandEntry {
  const char* name;
  CommandHandler handler;
};

// The program's commands in the order of the table. A command that is not built yet keeps its
// place as a comment; it joins the table on its own line when it lands.
static const CommandEntry kCommands[] = {
    {"SetHomeDir", FuncSetHomeDir},
    {"SetTouchSection", FuncSetTouchSection},
    {"SetEndSection", FuncSetEndSection},
    {"SetCoinSectionSub", FuncSetCoinSectionSub},
    {"SetVGAToFmEndSection", FuncSetVGAToFmEndSection},
    {"PlayAvi", FuncPlayAvi},
    {"PlayAviRepeat", FuncPlayAviRepeat},
    {"PlayWave", FuncPlayWave},
    {"BmpBtn", FuncBmpBtn},
    {"Bmp", FuncBmp},
    {"BmpC", FuncBmpC},
    {"AbsBmp", FuncAbsBmp},
    {"AbsBgBmp", FuncAbsBgBmp},
    {"AbsBmpC", FuncAbsBmpC},
    {"DiagNext", FuncDiagNext},
    {"ErrorNext", FuncErrorNext},
    {"OkNext", FuncOkNext},
    {"DoClr", FuncDoClr},
    {"DoDiag", FuncDoDiag},
    {"DoTitle", FuncDoTitle},
    {"Xcopy", FuncXcopy},
    {"SetKillCardSrvDlg", FuncSetKillCardSrvDlg},
    {"SetNewVolSerial", FuncSetNewVolSerial},
    {"SetChkDataArea", FuncSetChkDataArea},
    {"SetTrueSection", FuncSetTrueSection},
    {"SetFalseSection", FuncSetFalseSection},
    {"SetHostAdapter", FuncSetHostAdapter},
    {"InitAdapter", FuncInitAdapter},
    {"GetOsVersion", FuncGetOsVersion},
    {"StartDialog", FuncStartDialog},
    {"TgetDrvFileExist", FuncTgetDrvFileExist},
    {"DoSelBtn", FuncDoSelBtn},
    {"Goto", FuncGoto},
    {"If", FuncIf},
    {"IntrrimMsg", FuncIntrrimMsg},
    {"LastMsg", FuncLastMsg},
    {"LastMsgInterval", FuncLastMsgInterval},
    {"StrL", FuncStrL},
    {"StrC", FuncStrC},
    {"StrR", FuncStrR},
    {"StrLWithBack", FuncStrLWithBack},
    {"StrCWithBack", FuncStrCWithBack},
    {"StrRWithBack", FuncStrRWithBack},
    {"TitleStrL", FuncTitleStrL},
    {"TitleStrC", FuncTitleStrC},
    {"TitleStrR", FuncTitleStrR},
    {"TitleStrLWithBack", FuncTitleStrLWithBack},
    {"TitleStrCWithBack", FuncTitleStrCWithBack},
    {"TitleStrRWithBack", FuncTitleStrRWithBack},
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
    {"ClrMainWin", FuncClrMainWin},
    {"SetLeftMargin", FuncSetLeftMargin},
    {"SetRightMargin", FuncSetRightMargin},
    {"SetUpperMargin", FuncSetUpperMargin},
    {"SetLowerMargin", FuncSetLowerMargin},
    {"SetHSpace", FuncSetHSpace},
    {"SetVSpace", FuncSetVSpace},
    {"DspUpdateWindow", FuncDspUpdateWindow},
    {"SetAlias", FuncSetAlias},
    {"AliasToHomeDir", FuncAliasToHomeDir},
    {"AbsBmpToWkBuff", FuncAbsBmpToWkBuff},
    {"SetOffsetX1", FuncSetOffsetX1},
    {"SetOffsetY1", FuncSetOffsetY1},
    {"SetOffsetX2", FuncSetOffsetX2},
    {"SetOffsetY2", FuncSetOffsetY2},
    {"SetLogDir1", FuncSetLogDir1},
    {"Logging", FuncLogging},
    {"MouseCursor", FuncMouseCursor},
    {"GetDateTime", FuncGetDateTime},
    {"GetDateTime2", FuncGetDateTime2},
    {"GetDate", FuncGetDate},
    {"GetTime", FuncGetTime},
    {"And", FuncAnd},
    {"Or", FuncOr},
    {"WaitSet", FuncWaitSet},
    {"Wait", FuncWait},
    {"DebugStart", FuncDebugStart},
    {"DebugEnd", FuncDebugEnd},
    {"WinExec", FuncWinExec},
    {"WinExecEx", FuncWinExecEx},
    {"SetShutDown", FuncSetShutDown},
    {"ProgramExit", FuncProgramExit},
    {"KillProcess", FuncKillProcess},
};

void FillCommandTable() {
  for (const CommandEntry& entry : kCommands) CommandTableAdd(entry.name, entry.handler);
}

void ResetProgram() {
  ResetTargetIdentity();
  ResetInterpreter();
  ResetEngine();
  ResetServices();
  ResetScreen();
  ResetWizard();
  ResetExitSequence();
}
