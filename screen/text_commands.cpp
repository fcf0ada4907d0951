#include "screen/screen_commands.h"

#include "interp/arguments.h"
#include "screen/display_list.h"

static int32_t AddText(const char* handler, char* args, int32_t alignment, bool outlined,
                       DisplayItemList* list) {
  DisplayItem item;
  ResetItem(&item);
  char *text, *face;
  double *x1, *y1, *x2, *y2;
  int32_t *red, *green, *blue, *weight;
  int32_t *outline_red, *outline_green, *outline_blue, *outline_width;
  // Text, x1, y1, x2, y2, red, green, blue, face, weight; the outlined form adds the outline's
  // red, green, blue and width.
  int32_t result =
      outlined ? ReadArguments(handler, args, Value(&text), Value(&x1), Value(&y1), Value(&x2),
                               Value(&y2), Value(&red), Value(&green), Value(&blue), Value(&face),
                               Value(&weight), Value(&outline_red), Value(&outline_green),
                               Value(&outline_blue), Value(&outline_width))
               : ReadArguments(handler, args, Value(&text), Value(&x1), Value(&y1), Value(&x2),
                               Value(&y2), Value(&red), Value(&green), Value(&blue), Value(&face),
                               Value(&weight));
  if (result < 0) return result;
  if (outlined)
    SetItemOutlinedText(&item, text, *x1, *y1, *x2, *y2, alignment, *red, *green, *blue, face,
                        *weight, *outline_red, *outline_green, *outline_blue, *outline_width);
  else
    SetItemText(&item, text, *x1, *y1, *x2, *y2, alignment, *red, *green, *blue, face, *weight);
  return AppendItem(list, &item);
}

int32_t FuncStrL(char* args) { return AddText("FuncStrL", args, kAlignLeft, false, &DisplayList); }
int32_t FuncStrC(char* args) {
  return AddText("FuncStrC", args, kAlignCentre, false, &DisplayList);
}
int32_t FuncStrR(char* args) { return AddText("FuncStrR", args, kAlignRight, false, &DisplayList); }
int32_t FuncStrLWithBack(char* args) {
  return AddText("FuncStrLWithBack", args, kAlignLeft, true, &DisplayList);
}
int32_t FuncStrCWithBack(char* args) {
  return AddText("FuncStrCWithBack", args, kAlignCentre, true, &DisplayList);
}
int32_t FuncStrRWithBack(char* args) {
  return AddText("FuncStrRWithBack", args, kAlignRight, true, &DisplayList);
}
int32_t FuncTitleStrL(char* args) {
  return AddText("FuncTitleStrL", args, kAlignLeft, false, &TitleList);
}
int32_t FuncTitleStrC(char* args) {
  return AddText("FuncTitleStrC", args, kAlignCentre, false, &TitleList);
}
int32_t FuncTitleStrR(char* args) {
  return AddText("FuncTitleStrR", args, kAlignRight, false, &TitleList);
}
int32_t FuncTitleStrLWithBack(char* args) {
  return AddText("FuncTitleStrLWithBack", args, kAlignLeft, true, &TitleList);
}
int32_t FuncTitleStrCWithBack(char* args) {
  return AddText("FuncTitleStrCWithBack", args, kAlignCentre, true, &TitleList);
}
int32_t FuncTitleStrRWithBack(char* args) {
  return AddText("FuncTitleStrRWithBack", args, kAlignRight, true, &TitleList);
}
