#include "interp/commands.h"

#include <cstring>

#include "interp/arguments.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"

// Goto,"SECTION": the section is looked up only when NEWONE runs it.
int32_t FuncGoto(char* args) {
  char* section;
  int32_t result = ReadArguments("FuncGoto", args, Value(&section));
  if (result < 0) return result;
  ChooseSection(section);
  return kSectionChosen;
}

// If,a,"op",b,"SECTION": compares two signed integers; when true, jumps.
static int32_t Compare(int32_t a, const char* op, int32_t b, bool* holds) {
  if (std::strcmp(op, "<") == 0)
    *holds = a < b;
  else if (std::strcmp(op, ">") == 0)
    *holds = a > b;
  else if (std::strcmp(op, "<=") == 0)
    *holds = a <= b;
  else if (std::strcmp(op, ">=") == 0)
    *holds = a >= b;
  else if (std::strcmp(op, "==") == 0)
    *holds = a == b;
  else if (std::strcmp(op, "!=") == 0)
    *holds = a != b;
  else
    return kFailed;
  return kGoOn;
}

int32_t FuncIf(char* args) {
  int32_t* a;
  char* op;
  int32_t* b;
  char* section;
  int32_t result = ReadArguments("FuncIf", args, Value(&a), Value(&op), Value(&b), Value(&section));
  if (result < 0) return result;
  bool holds;
  if (Compare(*a, op, *b, &holds) < 0) {
    ScriptErrorSet("FuncIf の関係子が間違っています(%s)", op);
    return kFailed;
  }
  if (!holds) return kGoOn;
  ChooseSection(section);
  return kSectionChosen;
}

// The commands that only store a section name for later.
static int32_t StoreSection(const char* handler, char* args, SectionField field) {
  char* section;
  int32_t result = ReadArguments(handler, args, Value(&section));
  if (result < 0) return result;
  SetSectionName(field, section);
  return kGoOn;
}

int32_t FuncSetTrueSection(char* args) {
  return StoreSection("FuncSetTrueSection", args, kTrueSection);
}
int32_t FuncSetFalseSection(char* args) {
  return StoreSection("FuncSetFalseSection", args, kFalseSection);
}
int32_t FuncSetTouchSection(char* args) {
  return StoreSection("FuncSetTouchSection", args, kTouchSection);
}
int32_t FuncSetCoinSectionSub(char* args) {
  return StoreSection("FuncSetCoinSectionSub", args, kCoinSection);
}
int32_t FuncSetEndSection(char* args) {
  return StoreSection("FuncSetEndSection", args, kEndSection);
}
int32_t FuncSetVGAToFmEndSection(char* args) {
  return StoreSection("FuncSetVGAToFmEndSection", args, kVGAToFmEndSection);
}
int32_t FuncDiagNext(char* args) { return StoreSection("FuncDiagNext", args, kDiagNextSection); }
int32_t FuncErrorNext(char* args) { return StoreSection("FuncErrorNext", args, kErrorNextSection); }
int32_t FuncOkNext(char* args) { return StoreSection("FuncOkNext", args, kOkNextSection); }
