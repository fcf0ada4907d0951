// The main of every GoogleTest program. A run in which tests were skipped (GTEST_SKIP: what they
// need is not there) and none failed ends with KELVADO_SKIP_CODE, so that CTest reports the
// program as skipped and not as passed.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  const testing::UnitTest& run = *testing::UnitTest::GetInstance();
  if (result == 0 && run.skipped_test_count() > 0) {
    std::printf("%d test(s) skipped: reported to CTest as skipped\n", run.skipped_test_count());
    return KELVADO_SKIP_CODE;
  }
  return result;
}
