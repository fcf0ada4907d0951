// format_probe.exe: the shared formatting and real arithmetic cases in the Win32 build, for
// tests/e2e/formats_test.py.
//
//   format_probe             prints the report of both formatters, as the native test checks it
//   format_probe --wsprintf  prints the integer cases that IValToStr accepts as the system's own
//                            wsprintfA makes them, cut to 255 bytes as the command cuts them
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "interp/formats.h"
#include "platform/text.h"
#include "platform/threads.h"
#include "tests/interp/format_cases.h"

static void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

static void PrintSystemResults() {
  for (size_t f = 0; f < kIntegerFormatCount; ++f) {
    for (size_t v = 0; v < kIntegerValueCount; ++v) {
      const char* format = kIntegerFormats[f];
      int32_t value = kIntegerValues[v];
      char ours[512];
      // Only formats that ask for one integer at most may reach wsprintfA.
      if (!FormatInteger(ours, sizeof ours, format, value)) continue;
      char made[1024];
      wsprintfA(made, format, value);
      char text[256];
      TextCopy(text, sizeof text, made);
      Print(IntegerCaseLine(format, value, text, true));
    }
  }
}

int main(int argc, char** argv) {
  UseDoublePrecision();  // as kelvado.exe does at start-up
  if (argc == 2 && std::strcmp(argv[1], "--wsprintf") == 0)
    PrintSystemResults();
  else
    Print(FormatCaseReport());
  std::fflush(stdout);
  return 0;
}
