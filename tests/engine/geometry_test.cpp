#include <gtest/gtest.h>

#include <cstring>

#include "engine/aspi/aspi.h"
#include "engine/partition.h"
#include "tests/engine/test_card.h"
#include "tools/image_card.h"

// Geometry and partition entry of a card of `capacity` as READ CAPACITY reports it.
static void Calc(uint32_t capacity, bool fat32) {
  TargetCapacity = capacity;
  Fat32Enabled = fat32 ? 1 : 0;
  ASSERT_EQ(CalcGeometry(), 0);
  BuildPartitionEntry();
}

#define EXPECT_GEOMETRY(cylinders, heads, sectors)           \
  do {                                                       \
    EXPECT_EQ(DiskGeometry.max_cylinder, (cylinders) - 1);   \
    EXPECT_EQ(DiskGeometry.max_head, (heads) - 1);           \
    EXPECT_EQ(DiskGeometry.sectors_per_track, (sectors));    \
  } while (0)

TEST(CalcGeometry, OwnGeometryDoublesHeadsUntilUnder1024Cylinders) {
  TestCard card(1);
  Calc(1000000, false);
  EXPECT_GEOMETRY(992, 16, 63);
  EXPECT_EQ(NewPartition.start_lba, 63u);
  EXPECT_EQ(NewPartition.sector_count, 999873u);
  EXPECT_EQ(NewPartition.type, kTypeFat16);

  Calc(4193664, false);
  EXPECT_GEOMETRY(520, 128, 63);
  // Past 255 heads the cylinders stop at 1023; the rest of the card stays unused.
  Calc(255u * 63 * 1024 + 5000, true);
  EXPECT_GEOMETRY(1023, 255, 63);
  EXPECT_EQ(NewPartition.sector_count, 1023u * 255 * 63 - 63);
  EXPECT_EQ(NewPartition.type, kTypeFat32);
}

TEST(CalcGeometry, Fat16CardIsCutToTwoGigabytes) {
  TestCard card(1);
  Calc(8000000, false);
  EXPECT_EQ(TargetCapacity, 4193664u);
  EXPECT_GEOMETRY(520, 128, 63);
  Calc(8000000, true);
  EXPECT_EQ(TargetCapacity, 8000000u);
  EXPECT_GEOMETRY(992, 128, 63);
}

TEST(CalcGeometry, DriverGeometryForOtherAdapters) {
  TestCard card(1);
  std::strcpy(HostAdapterName, "otherata");
  // No answer from the driver: its result, and nothing stored.
  TargetCapacity = 1000000;
  EXPECT_EQ(CalcGeometry(), -1);
  EXPECT_EQ(DiskGeometry.sectors_per_track, 0);

  ImageCardSetDiskInfo(64, 32);
  Calc(1000000, false);
  EXPECT_GEOMETRY(488, 64, 32);
  // A driver geometry with few heads stays within 1024 cylinders after the FAT16 cut too.
  ImageCardSetDiskInfo(16, 63);
  Calc(8000000, false);
  EXPECT_GEOMETRY(1023, 16, 63);
  EXPECT_EQ(NewPartition.end_cylinder, 1022);
}

TEST(CalcGeometry, RefusesUnusableDriverAnswersAndTinyCards) {
  TestCard card(1);
  std::strcpy(HostAdapterName, "otherata");
  TargetCapacity = 1000000;
  for (auto hs : {std::make_pair(0, 63), std::make_pair(16, 0), std::make_pair(16, 64)}) {
    ImageCardSetDiskInfo(hs.first, hs.second);
    EXPECT_EQ(CalcGeometry(), -1) << hs.first << "x" << hs.second;
  }
  std::strcpy(HostAdapterName, "njata95");
  TargetCapacity = 1000;  // less than one cylinder of 16 x 63
  EXPECT_EQ(CalcGeometry(), -1);
  EXPECT_EQ(DiskGeometry.max_head, 0);
}

TEST(BuildPartitionEntry, SmallCardsGetFat16EvenWhereFat32IsEnabled) {
  TestCard card(1);
  // 256 MiB: 524,097 sectors of 8-sector clusters are fewer than 65,525 clusters.
  Calc(256u * 2048 - 1, true);
  EXPECT_EQ(NewPartition.type, kTypeFat16);
  Calc(260u * 2048 - 1, true);
  EXPECT_EQ(NewPartition.type, kTypeFat32);
}

TEST(PackPartitionEntry, PacksCylinderHighBitsWithTheSector) {
  PartitionInfo p = {0x80, 0, 1, 1, kTypeFat16, 991, 15, 63, 63, 999873};
  uint8_t entry[16];
  PackPartitionEntry(p, entry);
  const uint8_t expected[16] = {0x80, 0x01, 0x01, 0x00, 0x06, 0x0F, 0xFF, 0xDF,
                                0x3F, 0x00, 0x00, 0x00, 0xC1, 0x41, 0x0F, 0x00};
  EXPECT_EQ(0, std::memcmp(entry, expected, 16));
  PartitionInfo back;
  UnpackPartitionEntry(entry, &back);
  EXPECT_EQ(back.end_cylinder, 991);
  EXPECT_EQ(back.end_sector, 63);
  EXPECT_EQ(back.sector_count, 999873u);
  EXPECT_EQ(back.type, kTypeFat16);
}
