// The native build's texts for the shared formatting cases are the recorded ones; under Wine the
// Win32 build is held to the same file (tests/e2e/formats_test.py).
#include "tests/interp/format_cases.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Recorded() {
  std::ifstream in(KELVADO_FORMAT_CASES_OUT, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(FormatCases, NativeTextsAreTheRecordedOnes) {
  std::string report = FormatCaseReport();
  if (report == Recorded()) return;
  std::ofstream("format_cases.actual", std::ios::binary) << report;
  FAIL() << "the texts differ from format_cases.out; this build's are in format_cases.actual";
}

}  // namespace
