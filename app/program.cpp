#include "app/program.h"

#include <cstring>

#include "app/exit_sequence.h"
#include "aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "engine/engine_reset.h"
#include "interp/command_table.h"
#include "interp/commands.h"
#include "interp/exec.h"
#include "screen/display_list.h"
#include "screen/screen_commands.h"
#include "services/services_commands.h"
#include "services/services_reset.h"
#include "wizard/start_dialog.h"
#include "wizard/wizard_commands.h"

// The tables of the libraries that implement commands, bottom-up.
static const CommandEntry* const kLibraryCommands[] = {kInterpCommands, kServicesCommands,
                                                       kScreenCommands, kWizardCommands};

// The program's commands by name, in the fixed order of its CommandTable; the libraries' tables
// give their handlers. A command that is not built yet keeps its place as a comment; it joins the
// list on its own line when it lands.
static const char* const kCommandOrder[] = {
    "SetHomeDir",
    "SetTouchSection",
    "SetEndSection",
    "SetCoinSectionSub",
    "SetVGAToFmEndSection",
    "PlayAvi",
    "PlayAviRepeat",
    "PlayWave",
    "BmpBtn",
    "Bmp",
    "BmpC",
    "AbsBmp",
    "AbsBgBmp",
    "AbsBmpC",
    "DiagNext",
    "ErrorNext",
    "OkNext",
    "DoClr",
    "DoDiag",
    "DoTitle",
    "Xcopy",
    "SetKillCardSrvDlg",
    "SetNewVolSerial",
    "SetChkDataArea",
    "SetTrueSection",
    "SetFalseSection",
    "SetHostAdapter",
    "InitAdapter",
    "GetOsVersion",
    "StartDialog",
    "TgetDrvFileExist",
    "DoSelBtn",
    "Goto",
    "If",
    "IntrrimMsg",
    "LastMsg",
    "LastMsgInterval",
    "StrL",
    "StrC",
    "StrR",
    "StrLWithBack",
    "StrCWithBack",
    "StrRWithBack",
    "TitleStrL",
    "TitleStrC",
    "TitleStrR",
    "TitleStrLWithBack",
    "TitleStrCWithBack",
    "TitleStrRWithBack",
    "StrSet",
    "IValSet",
    "IValInc",
    "IValDec",
    "IValAdd",
    "IValSub",
    "IValMul",
    "IValDiv",
    "IValMod",
    "IValToStr",
    "FValToStr",
    "StrCat",
    "StrSetn",
    "StrCmp",
    "DividStr",
    "FValSet",
    "FValAdd",
    "FValSub",
    "FValMul",
    "FValDiv",
    "ClrMainWin",
    "SetLeftMargin",
    "SetRightMargin",
    "SetUpperMargin",
    "SetLowerMargin",
    "SetHSpace",
    "SetVSpace",
    "DspUpdateWindow",
    "SetAlias",
    "AliasToHomeDir",
    "AbsBmpToWkBuff",
    "SetOffsetX1",
    "SetOffsetY1",
    "SetOffsetX2",
    "SetOffsetY2",
    "SetLogDir1",
    "Logging",
    "MouseCursor",
    "GetDateTime",
    "GetDateTime2",
    "GetDate",
    "GetTime",
    "And",
    "Or",
    "WaitSet",
    "Wait",
    "DebugStart",
    "DebugEnd",
    "WinExec",
    "WinExecEx",
    "SetShutDown",
    "ProgramExit",
    "KillProcess",
};

// The handler that a library's table gives the name; nullptr when none has it.
static CommandHandler LibraryHandler(const char* name) {
  for (const CommandEntry* commands : kLibraryCommands)
    for (const CommandEntry* entry = commands; entry->name != nullptr; ++entry)
      if (std::strcmp(entry->name, name) == 0) return entry->handler;
  return nullptr;
}

void FillCommandTable() {
  for (const char* name : kCommandOrder) CommandTableAdd(name, LibraryHandler(name));
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
