#include "services/services_commands.h"

#include "services/cursor_wait.h"
#include "services/debug_window.h"
#include "services/directories.h"
#include "services/exit_commands.h"
#include "services/logging.h"
#include "services/process_commands.h"

const CommandEntry kServicesCommands[] = {
    {"SetHomeDir", FuncSetHomeDir},
    {"IntrrimMsg", FuncIntrrimMsg},
    {"LastMsg", FuncLastMsg},
    {"LastMsgInterval", FuncLastMsgInterval},
    {"SetAlias", FuncSetAlias},
    {"AliasToHomeDir", FuncAliasToHomeDir},
    {"SetLogDir1", FuncSetLogDir1},
    {"Logging", FuncLogging},
    {"MouseCursor", FuncMouseCursor},
    {"WaitSet", FuncWaitSet},
    {"Wait", FuncWait},
    {"DebugStart", FuncDebugStart},
    {"DebugEnd", FuncDebugEnd},
    {"WinExec", FuncWinExec},
    {"WinExecEx", FuncWinExecEx},
    {"SetShutDown", FuncSetShutDown},
    {"ProgramExit", FuncProgramExit},
    {"KillProcess", FuncKillProcess},
    {nullptr, nullptr},
};
