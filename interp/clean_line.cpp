#include "interp/clean_line.h"

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
