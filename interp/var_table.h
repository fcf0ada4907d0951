// VarTable: the script's variables, one table for integers, reals and strings.
//
// A binary search tree ordered by the names' bytes as unsigned characters, not balanced. Entries
// are only ever added; the whole table is released at the end. No operation recurses, so a tree
// that has degenerated into a chain (names created in sorted order) costs no stack.
#ifndef KELVADO_INTERP_VAR_TABLE_H
#define KELVADO_INTERP_VAR_TABLE_H

#include <cstdint>

enum VarKind : int32_t {
  kVarNew = 0,  // a record under construction
  kVarInteger = 1,
  kVarReal = 2,
  kVarString = 3,
};

struct VarRecord {
  char name[256];
  int32_t kind;           // VarKind, fixed when the variable is created
  int32_t integer_value;  // an integer variable's value; for a real one, its truncated copy
  double real_value;      // a real variable's value; for an integer one, its converted copy
  char string_value[256];
};

// The variable of exactly this name, or nullptr.
VarRecord* VarFind(const char* name);
// Adds a variable holding the given value. 0 when added or already present (then nothing
// changes), -2 when memory runs out. Names longer than 255 bytes are cut.
int32_t VarAddInteger(const char* name, int32_t value);
int32_t VarAddReal(const char* name, double value);
int32_t VarAddString(const char* name, const char* text);

// Calls visit for every variable in name order. The walk threads the tree for a moment: visit
// must not look variables up or add any.
typedef void (*VarVisitor)(const VarRecord& record, void* context);
void VarTableForEach(VarVisitor visit, void* context);
int32_t VarCount();
// Frees every variable; the table is empty afterwards.
void VarTableRelease();

#endif
