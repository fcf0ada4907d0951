#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

static std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The dated files are named in one place; every level of their directory is made, the text is
// appended, and a name that would not fit whole is refused rather than cut to another file's.
TEST(DatedFiles, NamedOnceMadeWhereTheNameSaysAndNeverCut) {
  const ClockTime date{2026, 12, 3, 9, 7, 5, 30, 0};
  char name[64];
  ASSERT_TRUE(DatedFileName(name, sizeof name, "c:\\log\\", date, ".deb"));
  EXPECT_STREQ(name, "c:\\log\\20261209.deb");
  char small[19];  // one byte short of the name above
  EXPECT_FALSE(DatedFileName(small, sizeof small, "c:\\log\\", date, ".deb"));
  EXPECT_STREQ(small, "");

  char base_template[] = "/tmp/kelvado-files-XXXXXX";
  ASSERT_NE(mkdtemp(base_template), nullptr);
  const fs::path base(base_template);
  // "\x83\x5c" is one Shift-JIS character whose second byte is a backslash: no level ends there.
  const std::string dir = base.string() + "/a/b\x83\x5c/c/";
  char written[300];
  ASSERT_TRUE(AppendToDatedFileMakingPath(dir.c_str(), date, ".log", "one\n", written,
                                          sizeof written));
  ASSERT_TRUE(AppendToDatedFileMakingPath(dir.c_str(), date, ".log", "two\n", written,
                                          sizeof written));
  EXPECT_EQ(std::string(written), dir + "20261209.log");
  EXPECT_EQ(Slurp(written), "one\ntwo\n");
  EXPECT_TRUE(fs::is_directory(base / "a" / "b\x83\x5c" / "c"));
  EXPECT_FALSE(fs::exists(base / "a" / "b\x83"));

  // A caller's buffer too small for the name: nothing is written, and it says so.
  const std::string other = base.string() + "/d/";
  char tiny[8] = "stale";
  EXPECT_FALSE(AppendToDatedFileMakingPath(other.c_str(), date, ".log", "x\n", tiny, sizeof tiny));
  EXPECT_STREQ(tiny, "");
  EXPECT_FALSE(fs::exists(base / "d" / "20261209.log"));
  // A directory of 256 bytes or more is never made, nor written into.
  const std::string deep = base.string() + "/" + std::string(300, 'x') + "/";
  EXPECT_FALSE(AppendToDatedFileMakingPath(deep.c_str(), date, ".log", "x\n", written,
                                           sizeof written));
  EXPECT_STREQ(written, "");
  fs::remove_all(base);
}
