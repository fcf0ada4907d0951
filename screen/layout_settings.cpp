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

// The margins and spaces read a real (mode n); the offsets take a new variable too (mode m).
static int32_t StoreSetting(const char* handler, char* args, bool creates, double* setting) {
  double* value;
  int32_t result = ReadArguments(handler, args, creates ? NewVar(&value) : Value(&value));
  if (result < 0) return result;
  *setting = *value;
  return kGoOn;
}

int32_t FuncSetLeftMargin(char* args) {
  return StoreSetting("FuncSetLeftMargin", args, false, &LeftMargin);
}
int32_t FuncSetRightMargin(char* args) {
  return StoreSetting("FuncSetRightMargin", args, false, &RightMargin);
}
int32_t FuncSetUpperMargin(char* args) {
  return StoreSetting("FuncSetUpperMargin", args, false, &UpperMargin);
}
int32_t FuncSetLowerMargin(char* args) {
  return StoreSetting("FuncSetLowerMargin", args, false, &LowerMargin);
}
int32_t FuncSetHSpace(char* args) { return StoreSetting("FuncSetHSpace", args, false, &HSpace); }
int32_t FuncSetVSpace(char* args) { return StoreSetting("FuncSetVSpace", args, false, &VSpace); }
int32_t FuncSetOffsetX1(char* args) {
  return StoreSetting("FuncSetOffsetX1", args, true, &OffsetX1);
}
int32_t FuncSetOffsetY1(char* args) {
  return StoreSetting("FuncSetOffsetY1", args, true, &OffsetY1);
}
int32_t FuncSetOffsetX2(char* args) {
  return StoreSetting("FuncSetOffsetX2", args, true, &OffsetX2);
}
int32_t FuncSetOffsetY2(char* args) {
  return StoreSetting("FuncSetOffsetY2", args, true, &OffsetY2);
}
