#include "interp/section_table.h"

#include <cstdlib>
#include <cstring>

#include "platform/text.h"

char ScriptName[256];

// Sorted by name (bytes as unsigned characters, as strcmp compares), found by binary search.
static Section** sections = nullptr;
static int32_t section_count = 0;
static int32_t section_capacity = 0;

// Index of the section with this name, or of the place where it belongs (then *found is false).
static int32_t Locate(const char* name, bool* found) {
  int32_t low = 0, high = section_count;
  while (low < high) {
    int32_t middle = low + (high - low) / 2;
    int order = std::strcmp(sections[middle]->name, name);
    if (order == 0) {
      *found = true;
      return middle;
    }
    if (order < 0)
      low = middle + 1;
    else
      high = middle;
  }
  *found = false;
  return low;
}

const Section* FindSection(const char* name) {
  bool found;
  int32_t index = Locate(name, &found);
  return found ? sections[index] : nullptr;
}

// Grows an array of `size`-byte elements to hold one more; false when memory runs out.
static bool Grow(void** array, int32_t count, int32_t* capacity, size_t size) {
  if (count < *capacity) return true;
  int32_t wanted = *capacity == 0 ? 16 : *capacity * 2;
  void* grown = std::realloc(*array, static_cast<size_t>(wanted) * size);
  if (grown == nullptr) return false;
  *array = grown;
  *capacity = wanted;
  return true;
}

Section* AddSection(const char* name) {
  bool found;
  int32_t index = Locate(name, &found);
  if (found) return sections[index];
  void* array = sections;
  bool grown = Grow(&array, section_count, &section_capacity, sizeof(Section*));
  sections = static_cast<Section**>(array);
  if (!grown) return nullptr;
  Section* section = static_cast<Section*>(std::calloc(1, sizeof(Section)));
  if (section == nullptr) return nullptr;
  TextCopy(section->name, sizeof section->name, name);
  std::memmove(sections + index + 1, sections + index,
               static_cast<size_t>(section_count - index) * sizeof(Section*));
  sections[index] = section;
  ++section_count;
  return section;
}

int32_t AddLine(Section* section, const char* text, int32_t line_number) {
  void* array = section->lines;
  bool grown = Grow(&array, section->line_count, &section->line_capacity, sizeof(ScriptLine));
  section->lines = static_cast<ScriptLine*>(array);
  if (!grown) return -1;
  ScriptLine* line = &section->lines[section->line_count++];
  TextCopy(line->text, sizeof line->text, text);
  line->line_number = line_number;
  return 0;
}

int32_t SectionCount() { return section_count; }

void ClearSectionTable() {
  for (int32_t i = 0; i < section_count; ++i) {
    std::free(sections[i]->lines);
    std::free(sections[i]);
  }
  std::free(sections);
  sections = nullptr;
  section_count = section_capacity = 0;
}
