// The variable table: byte order, one kind per name, and degenerate trees of 100,000 names.
#include <cstdio>
#include <string>
#include <vector>

#include "interp/var_table.h"
#include "interp/zam_value.h"
#include "tests/interp/harness.h"

namespace {

class Variables : public InterpTest {};

std::vector<std::string> Names() {
  std::vector<std::string> names;
  VarTableForEach([](const VarRecord& r, void* out) {
    static_cast<std::vector<std::string>*>(out)->push_back(r.name);
  }, &names);
  return names;
}

std::string Numbered(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "V%06d", i);
  return name;
}

TEST_F(Variables, OrderedByUnsignedBytesOneKindPerName) {
  for (const char* name : {"b", "B", "\x81\x40", "a", "", "ab", "z"}) VarAddInteger(name, 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"", "B", "a", "ab", "b", "z", "\x81\x40"}));
  EXPECT_EQ(VarAddString("a", "x"), 0);  // already there: nothing changes
  EXPECT_EQ(VarFind("a")->kind, kVarInteger);
  EXPECT_EQ(VarCount(), 7);
  EXPECT_EQ(VarFind("A"), nullptr);
  EXPECT_EQ(VarFind("a "), nullptr);
}

void CheckChain(bool rising) {
  const int kCount = 100000;
  for (int k = 0; k < kCount; ++k) {
    int i = rising ? k : kCount - 1 - k;
    ASSERT_EQ(VarAddInteger(Numbered(i).c_str(), i), 0);
  }
  EXPECT_EQ(VarCount(), kCount);
  for (int i = 0; i < kCount; i += 997) {
    VarRecord* record = VarFind(Numbered(i).c_str());
    ASSERT_NE(record, nullptr) << i;
    EXPECT_EQ(record->integer_value, i);
  }
  EXPECT_EQ(VarFind("V050000x"), nullptr);
  EXPECT_EQ(VarFind("W"), nullptr);
  EXPECT_EQ(VarFind("U"), nullptr);
  std::vector<std::string> names = Names();
  ASSERT_EQ(names.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; i += 4999) EXPECT_EQ(names[static_cast<size_t>(i)], Numbered(i));
  VarTableRelease();
  EXPECT_EQ(VarCount(), 0);
  EXPECT_EQ(VarFind(Numbered(0).c_str()), nullptr);
}

TEST_F(Variables, HundredThousandNamesInRisingOrder) { CheckChain(true); }
TEST_F(Variables, HundredThousandNamesInFallingOrder) { CheckChain(false); }

TEST_F(Variables, HundredThousandNamesCreatedByTheParser) {
  for (int i = 0; i < 100000; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "N%06d", i);
    int32_t* value;
    ASSERT_EQ(zam_sscanf(text, "%dm", &value), 1);
    *value = i;
  }
  EXPECT_EQ(VarCount(), 100000);
  EXPECT_EQ(VarFind("N099999")->integer_value, 99999);
  EXPECT_EQ(VarFind("N031415")->integer_value, 31415);
}

TEST_F(Variables, MixedOrderKeepsEveryName) {
  // Names that land on both sides of the first one, then between earlier ones.
  std::vector<std::string> expected;
  for (int i = 0; i < 2000; ++i) expected.push_back(Numbered(i));
  for (int k = 0; k < 2000; ++k) VarAddReal(Numbered((k * 7919) % 2000).c_str(), k);
  EXPECT_EQ(Names(), expected);
  for (int i = 0; i < 2000; ++i) ASSERT_NE(VarFind(Numbered(i).c_str()), nullptr);
}

}  // namespace
