#include "screen/screen_commands.h"

#include "interp/arguments.h"
#include "platform/window.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "screen/media.h"

int32_t FuncDspUpdateWindow(char* args) {
  if (RejectArguments("FuncDspUpdateWindow", args) < 0) return kFailed;
  RefreshMainWindow();
  return kGoOn;
}

int32_t FuncClrMainWin(char*) {
  MainWinCleared = true;
  return kGoOn;
}

int32_t FuncDoClr(char* args) {
  if (RejectArguments("FuncDoClr", args) < 0) return kFailed;
  ReleaseDrawingBuffers();
  MediaStopAndClose();
  MainWinCleared = false;
  RefreshMainWindow();
  return kGoOn;
}

int32_t FuncDoTitle(char* args) { return RejectArguments("FuncDoTitle", args); }

int32_t FuncDoDiag(char*) { return kGoOn; }

// The screen's commands, these and those of the other files, as the screen contributes them.
const CommandEntry kScreenCommands[] = {
    {"PlayAvi", FuncPlayAvi},
    {"PlayAviRepeat", FuncPlayAviRepeat},
    {"PlayWave", FuncPlayWave},
    {"BmpBtn", FuncBmpBtn},
    {"Bmp", FuncBmp},
    {"BmpC", FuncBmpC},
    {"AbsBmp", FuncAbsBmp},
    {"AbsBgBmp", FuncAbsBgBmp},
    {"AbsBmpC", FuncAbsBmpC},
    {"DoClr", FuncDoClr},
    {"DoDiag", FuncDoDiag},
    {"DoTitle", FuncDoTitle},
    {"DoSelBtn", FuncDoSelBtn},
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
    {"ClrMainWin", FuncClrMainWin},
    {"SetLeftMargin", FuncSetLeftMargin},
    {"SetRightMargin", FuncSetRightMargin},
    {"SetUpperMargin", FuncSetUpperMargin},
    {"SetLowerMargin", FuncSetLowerMargin},
    {"SetHSpace", FuncSetHSpace},
    {"SetVSpace", FuncSetVSpace},
    {"DspUpdateWindow", FuncDspUpdateWindow},
    {"AbsBmpToWkBuff", FuncAbsBmpToWkBuff},
    {"SetOffsetX1", FuncSetOffsetX1},
    {"SetOffsetY1", FuncSetOffsetY1},
    {"SetOffsetX2", FuncSetOffsetX2},
    {"SetOffsetY2", FuncSetOffsetY2},
    {nullptr, nullptr},
};
