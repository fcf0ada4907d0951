#include "screen/layout_settings.h"

#include "interp/arguments.h"

double LeftMargin = 0.0;
double RightMargin = 0.0;
double UpperMargin = 0.0;
double LowerMargin = 0.0;
double HSpace = 0.0;
double VSpace = 0.0;
double OffsetX1 = 0.0;
double OffsetY1 = 0.0;
double OffsetX2 = 0.0;
double OffsetY2 = 0.0;

static int32_t StoreSetting(const char* handler, char* args, const char* format, double* setting) {
  double* value;
  int32_t result = ReadArguments(handler, args, format, &value);
  if (result < 0) return result;
  *setting = *value;
  return 0;
}

int32_t FuncSetLeftMargin(char* args) {
  return StoreSetting("FuncSetLeftMargin", args, "%fn", &LeftMargin);
}
int32_t FuncSetRightMargin(char* args) {
  return StoreSetting("FuncSetRightMargin", args, "%fn", &RightMargin);
}
int32_t FuncSetUpperMargin(char* args) {
  return StoreSetting("FuncSetUpperMargin", args, "%fn", &UpperMargin);
}
int32_t FuncSetLowerMargin(char* args) {
  return StoreSetting("FuncSetLowerMargin", args, "%fn", &LowerMargin);
}
int32_t FuncSetHSpace(char* args) { return StoreSetting("FuncSetHSpace", args, "%fn", &HSpace); }
int32_t FuncSetVSpace(char* args) { return StoreSetting("FuncSetVSpace", args, "%fn", &VSpace); }
int32_t FuncSetOffsetX1(char* args) {
  return StoreSetting("FuncSetOffsetX1", args, "%fm", &OffsetX1);
}
int32_t FuncSetOffsetY1(char* args) {
  return StoreSetting("FuncSetOffsetY1", args, "%fm", &OffsetY1);
}
int32_t FuncSetOffsetX2(char* args) {
  return StoreSetting("FuncSetOffsetX2", args, "%fm", &OffsetX2);
}
int32_t FuncSetOffsetY2(char* args) {
  return StoreSetting("FuncSetOffsetY2", args, "%fm", &OffsetY2);
}
