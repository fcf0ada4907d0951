// The formatting cases that both builds run: IValToStr's and FValToStr's formatters on chosen
// values and formats, and the real commands on sums and quotients that a unit rounding twice gets
// wrong. The native test compares the report with format_cases.out, and the Win32
// probe prints it under Wine, so both builds are held to the same texts.
#ifndef KELVADO_TESTS_INTERP_FORMAT_CASES_H
#define KELVADO_TESTS_INTERP_FORMAT_CASES_H

#include <cstddef>
#include <cstdint>
#include <string>

// IValToStr's cases: every format with every value. Some formats are refused on purpose.
extern const char* const kIntegerFormats[];
extern const size_t kIntegerFormatCount;
extern const int32_t kIntegerValues[];
extern const size_t kIntegerValueCount;

// One report line: IValToStr VALUE "FORMAT" -> "TEXT", or -> refused. Bytes outside printable
// ASCII, the quote and the backslash are written as \xNN.
std::string IntegerCaseLine(const char* format, int32_t value, const char* text, bool accepted);

// Every case of both formatters, one line each; each text as the command stores it (cut to
// 255 bytes).
std::string FormatCaseReport();

#endif
