#include "screen/screen_commands.h"

#include "interp/arguments.h"
#include "interp/script_error.h"
#include "platform/text.h"
#include "platform/window.h"
#include "screen/bitmap_file.h"
#include "screen/display_list.h"
#include "screen/paint.h"
#include "services/directories.h"

namespace {
// What sets one picture command apart from the others.
struct PictureCommand {
  const char* handler;  // "Func" and the command's name, for messages
  bool home;            // HomeDir goes in front of the file name
  bool fitted;          // the 640 x 480 pixels at the top left, not a box of fractions
  bool button;          // a section name comes before the file name
  int32_t background;
};
}  // namespace

static int32_t ReadPictureArguments(const PictureCommand& command, char* args, char** section,
                                    char** name, double box[4]) {
  double *x1, *y1, *x2, *y2;
  int32_t result;
  if (command.button)
    result = ReadArguments(command.handler, args, Value(section), Value(name), Value(&x1),
                           Value(&y1), Value(&x2), Value(&y2));
  else if (command.fitted)
    result = ReadArguments(command.handler, args, Value(name));
  else
    result = ReadArguments(command.handler, args, Value(name), Value(&x1), Value(&y1), Value(&x2),
                           Value(&y2));
  if (result < 0) return result;
  if (command.fitted) {
    box[0] = box[1] = 0.0;
    box[2] = 639.0 / ScreenWidth;
    box[3] = 479.0 / ScreenHeight;
  } else {
    box[0] = *x1;
    box[1] = *y1;
    box[2] = *x2;
    box[3] = *y2;
  }
  return 0;
}

static int32_t AddPicture(const PictureCommand& command, char* args) {
  char whole[1024];  // the argument text before the parser cuts it up (the line's work buffer)
  TextCopy(whole, sizeof whole, args != nullptr ? args : "");
  char* section = nullptr;
  char* name;
  double box[4];
  int32_t result = ReadPictureArguments(command, args, &section, &name, box);
  if (result < 0) return result;
  char path[kFileNameSize];
  if (!BuildFileName(path, command.home ? HomeDir : "", name)) {
    ScriptErrorSet("%s の引数が長すぎます(%s)", command.handler, whole);
    return kFailed;
  }
  DisplayItem item;
  ResetItem(&item);
  if (ItemFromFile(&item, path, box[0], box[1], box[2], box[3], command.background) < 0)
    return kFailed;
  if (section != nullptr) TextCopy(item.section, sizeof item.section, section);
  result = AppendItem(&DisplayList, &item);
  PackedDibFree(item.bitmap);  // still held only when the list did not take it
  return result;
}

int32_t FuncBmp(char* args) { return AddPicture({"FuncBmp", true, false, false, 0}, args); }
int32_t FuncBmpC(char* args) { return AddPicture({"FuncBmpC", true, true, false, 0}, args); }
int32_t FuncAbsBmp(char* args) { return AddPicture({"FuncAbsBmp", false, false, false, 0}, args); }
int32_t FuncAbsBmpC(char* args) { return AddPicture({"FuncAbsBmpC", false, true, false, 0}, args); }
int32_t FuncAbsBgBmp(char* args) {
  return AddPicture({"FuncAbsBgBmp", false, false, false, 1}, args);
}
int32_t FuncBmpBtn(char* args) { return AddPicture({"FuncBmpBtn", true, false, true, 0}, args); }

int32_t FuncDoSelBtn(char* args) {
  if (RejectArguments("FuncDoSelBtn", args) < 0) return kFailed;
  RefreshMainWindow();
  return kGoOn;
}

int32_t FuncAbsBmpToWkBuff(char* args) {
  char* name;
  int32_t result = ReadArguments("FuncAbsBmpToWkBuff", args, Value(&name));
  if (result < 0) return result;
  PackedDibFree(WorkBuffer);
  WorkBuffer = nullptr;
  // HomeDir and the name are joined as far as a path holds them; a longer one cannot be opened.
  char path[kFileNameSize];
  DibLayout layout;
  if (BuildFileName(path, HomeDir, name)) WorkBuffer = LoadBitmapFile(path, &layout);
  if (WorkBuffer == nullptr) {
    ScriptErrorSet("FuncAbsBmpToWkBuff でファイル(%s)からデータが読めませんでした", name);
    return kFailed;
  }
  return kGoOn;
}
