#include "engine/errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "engine/engine_report.h"
#include "platform/window.h"

TEST(ErrorText, MessagesAreShiftJisBytes) {
  // Half-width katakana (one byte each) in 202, full-width letters in 601.
  EXPECT_STREQ(ErrorText(202),
               "Movanta ATA\xb6\xb0\xc4\xde\x82\xaa\x91\x7d\x93\xfc\x82\xb3\x82"
               "\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_STREQ(ErrorText(601),
               "\x82\x68\x82\x6f\x82\x6b\x97\xcc\x88\xe6\x82\xc9\x8f\x91\x82"
               "\xab\x8d\x9e\x82\xdd\x82\xaa\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_STREQ(ErrorText(302),
               "ReadCapacity\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd");
}

TEST(ErrorText, EveryListedCodeHasItsOwnTextAndOthersAreUnknown) {
  const uint32_t listed[] = {101, 102, 103, 104, 105, 201, 202, 203, 204, 301, 302,
                             501, 502, 503, 504, 601, 602, 603, 604, 605, 606};
  std::set<std::string> texts;
  for (uint32_t code : listed) {
    EXPECT_STRNE(ErrorText(code), "UNKNOWN ERROR CODE") << code;
    texts.insert(ErrorText(code));
  }
  EXPECT_EQ(texts.size(), sizeof listed / sizeof listed[0]);
  for (int32_t code : {0, -9, -1, 100, 106, 205, 303, 500, 505, 600, 607})
    EXPECT_STREQ(ErrorText(static_cast<uint32_t>(code)), "UNKNOWN ERROR CODE") << code;
}

static int32_t reported_code = 0;

static const EngineReport kErrorStandIn = {nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr,
                                           [](void*, int32_t code) -> int32_t {
                                             reported_code = code;
                                             return kIdOk;
                                           }};

// The engine shows an error only through its report, and returns the report's answer.
TEST(ReportEngineError, TheCodeGoesToTheReportAndItsAnswerComesBack) {
  RegisteredReport = &kErrorStandIn;
  EXPECT_EQ(ReportEngineError(604), kIdOk);
  RegisteredReport = nullptr;
  EXPECT_EQ(reported_code, 604);
  reported_code = 0;
  EXPECT_EQ(ReportEngineError(604), 0);  // without a report nothing is shown
  EXPECT_EQ(reported_code, 0);
}
