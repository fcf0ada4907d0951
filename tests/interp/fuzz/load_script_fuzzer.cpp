// Fuzzes the loader and CleanLine: the input is a script, one line per line feed. Checks that
// every stored line is clean (cleaning it again changes nothing), at most 255 bytes long, and
// numbered inside the script, and that the error text stays terminated.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "interp/loader.h"
#include "interp/script_error.h"
#include "interp/section_table.h"

static std::vector<std::string> lines;

static const char* Line(int32_t n) {
  if (n < 1 || static_cast<size_t>(n) > lines.size()) return nullptr;
  return lines[static_cast<size_t>(n) - 1].c_str();
}

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lines.clear();
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  ClearSectionTable();
  ScriptErrorClear();
  int32_t result = LoadScriptFrom(Line);
  Check(result == 0 || result == -1);
  Check(result == 0 || ScriptError[0] != '\0');
  Check(strnlen(ScriptError, sizeof ScriptError) < sizeof ScriptError);

  // Every line of the input, cleaned twice.
  for (const std::string& line : lines) {
    char buffer[256] = {};
    std::memcpy(buffer, line.data(), line.size() < 255 ? line.size() : 255);
    CleanLine(buffer);
    std::string once = buffer;
    CleanLine(buffer);
    Check(once == buffer);
  }
  // What the loader kept.
  for (size_t n = 1; n <= lines.size(); ++n) {
    std::string& line = lines[n - 1];
    char cleaned[256] = {};
    std::memcpy(cleaned, line.data(), line.size() < 255 ? line.size() : 255);
    CleanLine(cleaned);
    if (cleaned[0] != '[' || std::strlen(cleaned) < 3) continue;
    std::string name(cleaned + 1, std::strlen(cleaned) - 2);
    const Section* section = FindSection(name.c_str());
    if (section == nullptr) continue;
    for (int32_t i = 0; i < section->line_count; ++i) {
      const ScriptLine& stored = section->lines[i];
      size_t stored_length = strnlen(stored.text, sizeof stored.text);
      Check(stored_length > 0 && stored_length < 256);
      Check(stored.line_number >= 1 && static_cast<size_t>(stored.line_number) <= lines.size());
      char again[256];
      std::memcpy(again, stored.text, stored_length + 1);
      CleanLine(again);
      Check(std::strcmp(again, stored.text) == 0);
    }
  }
  return 0;
}
