// SectionTable: the sections of the loaded script, each an ordered list of command lines.
#ifndef KELVADO_INTERP_SECTION_TABLE_H
#define KELVADO_INTERP_SECTION_TABLE_H

#include <cstdint>

// One stored command line: its text after CleanLine and its line number in the script.
struct ScriptLine {
  char text[256];
  int32_t line_number;
};

struct Section {
  char name[256];
  ScriptLine* lines;  // in script order, addressed by a 0-based index
  int32_t line_count;
  int32_t line_capacity;
};

// The script's name in messages, "KELVADO.INI" once loading has begun.
extern char ScriptName[256];

// The section with exactly this name (bytes, case-sensitive), or nullptr.
const Section* FindSection(const char* name);
// The section of that name, added empty when it is not there yet; nullptr when memory runs out.
Section* AddSection(const char* name);
// Appends a line to a section: 0, or -1 when memory runs out.
int32_t AddLine(Section* section, const char* text, int32_t line_number);
int32_t SectionCount();
// Empties the table (a fresh load, in tests and tools).
void ClearSectionTable();

#endif
