#include "interp/interp_reset.h"

#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "interp/trace_line.h"
#include "interp/var_table.h"

void ResetInterpreter() {
  ClearSectionTable();
  ClearCommandTable();
  VarTableRelease();
  ScriptErrorClear();
  TraceLine[0] = '\0';
  ResetSectionChoice();
  LineExecutedHook = nullptr;
}
