// Cluster sizes and FAT sizes at the edges of their tables. The sectors a format writes are
// compared with the golden dumps of tests/engine/golden (golden_test.py).
#include <gtest/gtest.h>

#include "engine/boot_records.h"

TEST(ClusterSize, TablesAndTheSmallestCards) {
  EXPECT_EQ(ClusterSizeFat16(262143), 4u);
  EXPECT_EQ(ClusterSizeFat16(262144), 8u);
  EXPECT_EQ(ClusterSizeFat16(999873), 16u);
  EXPECT_EQ(FatSize16(999873, 16), 245u);
  EXPECT_EQ(ClusterSizeFat32(16777215), 8u);
  EXPECT_EQ(ClusterSizeFat32(67108864), 64u);
  // An 8 MiB card's 16,065 sectors in 4-sector clusters would be 4,000 clusters: FAT12.
  EXPECT_EQ(ClusterSizeFat16(16065), 2u);
  EXPECT_GE(Fat16ClusterCount(16065, 2), kMinFat16Clusters);
}
