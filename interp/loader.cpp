#include "interp/loader.h"

#include <cstring>

#include "interp/script_error.h"
#include "interp/section_table.h"
#include "platform/text.h"

// A header is "[" name "]" after cleaning: at least three characters, "]" last.
static int32_t ReadHeader(const char* line, int32_t n, Section** current) {
  size_t length = std::strlen(line);
  if (length < 3) {
    ScriptErrorAppend("\n\n[%s の %d 行目でカッコが閉じていないか、内容がありません。", ScriptName,
                      static_cast<int>(n));
    return -1;
  }
  if (line[length - 1] != ']') {
    ScriptErrorAppend("\n\n[%s の %d 行目 セクション名のカッコが閉じていません。", ScriptName,
                      static_cast<int>(n));
    return -1;
  }
  char name[256];
  std::memcpy(name, line + 1, length - 2);
  name[length - 2] = '\0';
  *current = AddSection(name);
  return *current != nullptr ? 0 : -1;
}

// A command line before the first header belongs to no section: the script is refused rather
// than the line being lost or run under a made-up name.
static int32_t ReadCommand(const char* line, int32_t n, Section* current) {
  if (current == nullptr) {
    ScriptErrorAppend("\n\n[%s の %d 行目 セクション名の前にコマンドがあります。", ScriptName,
                      static_cast<int>(n));
    return -1;
  }
  return AddLine(current, line, n);
}

int32_t LoadScriptFrom(ScriptSource source) {
  TextCopy(ScriptName, sizeof ScriptName, "KELVADO.INI");
  Section* current = nullptr;
  for (int32_t n = 1;; ++n) {
    const char* raw = source(n);
    if (raw == nullptr) return 0;
    if (raw[0] == '\0') continue;
    // Cleaning reads 255 bytes at most; the copy keeps exactly those.
    char line[kLineLimit + 1];
    size_t length = strnlen(raw, kLineLimit);
    std::memcpy(line, raw, length);
    line[length] = '\0';
    CleanLine(line);
    int32_t result = 0;
    if (line[0] == '[')
      result = ReadHeader(line, n, &current);
    else if (line[0] != '\0')
      result = ReadCommand(line, n, current);
    if (result < 0) return result;
  }
}


// Only the ASCII white space characters; bytes from 0x80 up are never white space, since they
// may be halves of double-byte characters.
static bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void CleanLine(char* line) {
  int out = 0;
  bool quoted = false;
  for (int in = 0; in < kLineLimit; ++in) {
    char c = line[in];
    if (c == '\0' || c == ';') break;
    if (c == '"') quoted = !quoted;
    if (quoted || c == '"' || !IsBlank(c)) line[out++] = c;
  }
  line[out] = '\0';
}
