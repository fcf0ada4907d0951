#include "tests/interp/format_cases.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "interp/commands.h"
#include "interp/formats.h"
#include "interp/var_table.h"
#include "platform/text.h"

const char* const kIntegerFormats[] = {
    "%d",    "%5d|",  "%-5d|",  "%05d",     "%-05d|",    "%00005d", "%010ld", "%.3d",
    "%.0d",  "%8.3d", "%08.3d", "%-8.3d|",  "%i",        "%u",      "%x",     "%X",
    "%#x",   "%#X",   "%#08x",  "%#.4x",    "%#5.0x|",   "%-#6x|",  "%ld",    "%lu",
    "%lx",   "%hd",   "%hu",    "%hX",      "%#d",       "%c",      "%5c|",   "%-5c|",
    "%05c|", "%hc",   "%d個",   "[%%%d%%]", "text only", "%300d",   "%s",     "%p",
    "%d%d",  "%lc",   "%I64d",  "%0-5d",    "%+d",       "%10000d", "100%",   "%f"};

const size_t kIntegerFormatCount = sizeof kIntegerFormats / sizeof kIntegerFormats[0];
const int32_t kIntegerValues[] = {0, 7, -42, 0x82, -2147483647 - 1, 2147483647};
const size_t kIntegerValueCount = sizeof kIntegerValues / sizeof kIntegerValues[0];

namespace {

struct RealFormatCase {
  const char* source;  // the value as written here
  double value;
};

#define REAL(v) \
  { #v, v }
const RealFormatCase kRealValues[] = {
    REAL(0.0),      REAL(-0.0),        REAL(2.5),     REAL(0.5),
    REAL(1.5),      REAL(-1.5),        REAL(0.1),     REAL(1.0 / 3),
    REAL(9.9995),   REAL(123456789.0), REAL(1e21),    REAL(1e-5),
    REAL(999999.5), REAL(DBL_MAX),     REAL(DBL_MIN), REAL(4.9406564584124654e-324),
    REAL(HUGE_VAL), REAL(-HUGE_VAL),   REAL(-NAN)};
#undef REAL

const char* const kRealFormats[] = {
    "%f",     "%.0f",   "%.2f",     "%.20f",    "%e",  "%.0e",  "%.3E",  "%g",
    "%.0g",   "%.3g",   "%.17g",    "%#g",      "%G",  "%#.0f", "%#.0e", "%+f",
    "% f",    "%08.3f", "%-12.4e|", "%+012.3g", "%lf", "%F",    "%5.1F", "x=%6.2f%%",
    "%.999f", "%d",     "%s",       "%f%f",     "%*f", "%Lf",   "%a"};

void Escape(const char* text, std::string* out) {
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p >= 0x20 && *p < 0x7F && *p != '"' && *p != '\\') {
      *out += static_cast<char>(*p);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", *p);
      *out += code;
    }
  }
}

std::string Line(const char* command, const char* value, const char* format, const char* text,
                 bool accepted) {
  std::string line = command;
  line += ' ';
  line += value;
  line += " \"";
  Escape(format, &line);
  line += "\" -> ";
  if (accepted) {
    line += '"';
    Escape(text, &line);
    line += '"';
  } else {
    line += "refused";
  }
  line += '\n';
  return line;
}

}  // namespace

std::string IntegerCaseLine(const char* format, int32_t value, const char* text, bool accepted) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", static_cast<int>(value));
  return Line("IValToStr", number, format, text, accepted);
}

namespace {

// The real commands on values whose exact result lies just beside the halfway point between two
// doubles: a unit that rounds twice (to 64 bits, then to 53) gets the last bit wrong.
struct ArithmeticCase {
  const char* command;
  int32_t (*handler)(char* args);
  const char* first;
  const char* second;
};

const ArithmeticCase kArithmetic[] = {
    {"FValAdd", FuncFValAdd, "1", "1.1102230246251568e-16"},
    {"FValSub", FuncFValSub, "1", "-1.1102230246251568e-16"},
    {"FValMul", FuncFValMul, "1.1531731123893476", "1.3905896822340258"},
    {"FValDiv", FuncFValDiv, "1.8208971320660914", "1.136592640127822"},
};

std::string ArithmeticLine(const ArithmeticCase& c) {
  char set[64], apply[64];
  std::snprintf(set, sizeof set, "ArithmeticCase,%s", c.first);
  std::snprintf(apply, sizeof apply, "ArithmeticCase,%s", c.second);
  FuncFValSet(set);
  c.handler(apply);
  char text[64];
  FormatReal(text, sizeof text, "%.17g", VarFind("ArithmeticCase")->real_value);
  return std::string(c.command) + " " + c.first + " " + c.second + " -> " + text + "\n";
}

}  // namespace

std::string FormatCaseReport() {
  std::string report;
  for (const char* format : kIntegerFormats) {
    for (int32_t value : kIntegerValues) {
      char made[512];
      bool accepted = FormatInteger(made, sizeof made, format, value);
      char text[256];
      TextCopy(text, sizeof text, made);
      report += IntegerCaseLine(format, value, text, accepted);
      if (!accepted) break;  // the value plays no part
    }
  }
  for (const char* format : kRealFormats) {
    for (const RealFormatCase& c : kRealValues) {
      char made[512];
      bool accepted = FormatReal(made, sizeof made, format, c.value);
      char text[256];
      TextCopy(text, sizeof text, made);
      report += Line("FValToStr", c.source, format, text, accepted);
      if (!accepted) break;
    }
  }
  for (const ArithmeticCase& c : kArithmetic) report += ArithmeticLine(c);
  return report;
}
