#include "engine/error_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "system/message_box.h"

static std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

TEST(ErrorText, MessagesAreShiftJisBytes) {
  // Half-width katakana (one byte each) in 202, full-width letters in 601.
  EXPECT_EQ(ErrorText(202),
            Bytes({0x4d, 0x6f, 0x76, 0x61, 0x6e, 0x74, 0x61, 0x20, 0x41, 0x54, 0x41, 0xb6,
                   0xb0, 0xc4, 0xde, 0x82, 0xaa, 0x91, 0x7d, 0x93, 0xfc, 0x82, 0xb3, 0x82,
                   0xea, 0x82, 0xc4, 0x82, 0xa2, 0x82, 0xdc, 0x82, 0xb9, 0x82, 0xf1}));
  EXPECT_EQ(ErrorText(601),
            Bytes({0x82, 0x68, 0x82, 0x6f, 0x82, 0x6b, 0x97, 0xcc, 0x88, 0xe6, 0x82, 0xc9,
                   0x8f, 0x91, 0x82, 0xab, 0x8d, 0x9e, 0x82, 0xdd, 0x82, 0xaa, 0x82, 0xc5,
                   0x82, 0xab, 0x82, 0xdc, 0x82, 0xb9, 0x82, 0xf1}));
  EXPECT_STREQ(ErrorText(302), "ReadCapacity\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd");
}

TEST(ErrorText, EveryListedCodeHasItsOwnTextAndOthersAreUnknown) {
  const uint32_t listed[] = {101, 102, 103, 104, 201, 202, 203, 204, 301, 302,
                             501, 502, 503, 504, 601, 602, 603, 604, 605, 606};
  std::set<std::string> texts;
  for (uint32_t code : listed) {
    EXPECT_STRNE(ErrorText(code), "UNKNOWN ERROR CODE") << code;
    texts.insert(ErrorText(code));
  }
  EXPECT_EQ(texts.size(), sizeof listed / sizeof listed[0]);
  for (int32_t code : {0, -9, -1, 100, 105, 205, 303, 500, 505, 600, 607})
    EXPECT_STREQ(ErrorText(static_cast<uint32_t>(code)), "UNKNOWN ERROR CODE") << code;
}

static bool box_owned;
static std::string box_text, box_caption;
static uint32_t box_style;

static int32_t RecordBox(bool owned, const char* text, const char* caption, uint32_t style) {
  box_owned = owned;
  box_text = text;
  box_caption = caption;
  box_style = style;
  return kIdOk;
}

TEST(ShowEngineError, OwnedOkBoxCaptionedKelvadoError) {
  MessageBoxHandler = RecordBox;
  EXPECT_EQ(ShowEngineError(604), kIdOk);
  MessageBoxHandler = nullptr;
  EXPECT_TRUE(box_owned);
  EXPECT_EQ(box_text, ErrorText(604));
  EXPECT_EQ(box_caption, "Kelvado Error");
  EXPECT_EQ(box_style, kMbOk);
}
