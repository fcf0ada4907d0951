// The native build's texts for the shared formatting cases are the recorded ones; under Wine the
// Win32 build is held to the same file (tests/e2e/formats_test.py).
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/interp/format_cases.h"

namespace {

std::string Recorded() {
  std::string here = __FILE__;
  std::ifstream in(here.substr(0, here.rfind('/')) + "/format_cases.out", std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(FormatCases, NativeTextsAreTheRecordedOnes) {
  std::string report = FormatCaseReport();
  std::string recorded = Recorded();
  ASSERT_FALSE(recorded.empty()) << "format_cases.out is missing";
  if (report == recorded) return;
  std::ofstream("format_cases.actual", std::ios::binary) << report;
  std::istringstream got(report), want(recorded);
  std::string a, b;
  for (int line = 1; std::getline(want, b); ++line) {
    if (!std::getline(got, a)) a = "(nothing)";
    ASSERT_EQ(a, b) << "line " << line << "; the whole report is in format_cases.actual";
  }
  FAIL() << "more lines than recorded; the whole report is in format_cases.actual";
}

}  // namespace
