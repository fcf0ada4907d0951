#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "aspi/aspi.h"
#include "engine/partition.h"
#include "tests/engine/test_card.h"
#include "cardsim/image_card.h"

// The geometry chosen for a card whose READ CAPACITY answer is `capacity`, as
// "cylinders x heads x sectors"; the partition entry is built too. "-" when CalcGeometry fails.
static std::string Chosen(uint32_t capacity, bool fat32) {
  TargetCapacity = capacity;
  Fat32Enabled = fat32 ? 1 : 0;
  if (CalcGeometry() != 0) return "-";
  BuildPartitionEntry();
  const Geometry& g = DiskGeometry;
  return std::to_string(g.max_cylinder + 1) + "x" + std::to_string(g.max_head + 1) + "x" +
         std::to_string(g.sectors_per_track);
}

TEST(CalcGeometry, OwnGeometryDoublesHeadsUntilUnder1024Cylinders) {
  TestCard card(1);
  EXPECT_EQ(Chosen(1000000, false), "992x16x63");
  EXPECT_EQ(NewPartition.start_lba, 63u);
  EXPECT_EQ(NewPartition.sector_count, 999873u);
  EXPECT_EQ(NewPartition.type, kTypeFat16);
  EXPECT_EQ(Chosen(4193664, false), "520x128x63");
  // Past 255 heads the cylinders stop at 1023; the rest of the card stays unused.
  EXPECT_EQ(Chosen(255u * 63 * 1024 + 5000, true), "1023x255x63");
  EXPECT_EQ(NewPartition.sector_count, 1023u * 255 * 63 - 63);
  EXPECT_EQ(NewPartition.type, kTypeFat32);
  // FAT16 cuts the card to 4,193,664 sectors; FAT32 keeps it whole.
  EXPECT_EQ(Chosen(8000000, false), "520x128x63");
  EXPECT_EQ(TargetCapacity, 4193664u);
  EXPECT_EQ(Chosen(8000000, true), "992x128x63");
  EXPECT_EQ(TargetCapacity, 8000000u);
  EXPECT_EQ(Chosen(1000, false), "-");  // less than one cylinder
}

TEST(CalcGeometry, DriverGeometryForOtherAdapters) {
  TestCard card(1);
  std::strcpy(HostAdapterName, "otherata");
  EXPECT_EQ(Chosen(1000000, false), "-");  // the driver does not answer
  EXPECT_EQ(DiskGeometry.sectors_per_track, 0);
  ImageCardSetDiskInfo(64, 32);
  EXPECT_EQ(Chosen(1000000, false), "488x64x32");
  // Few heads: still at most 1024 cylinders after the FAT16 cut.
  ImageCardSetDiskInfo(16, 63);
  EXPECT_EQ(Chosen(8000000, false), "1023x16x63");
  // Answers that would divide by zero, leave no head 1 or overflow an entry's sector field.
  for (auto hs : {std::make_pair(0, 63), std::make_pair(1, 63), std::make_pair(16, 0),
                  std::make_pair(16, 64)}) {
    ImageCardSetDiskInfo(hs.first, hs.second);
    EXPECT_EQ(Chosen(1000000, false), "-") << hs.first << "x" << hs.second;
  }
}

TEST(BuildPartitionEntry, SmallCardsGetFat16EvenWhereFat32IsEnabled) {
  TestCard card(1);
  // 256 MiB: 524,097 sectors of 8-sector clusters are fewer than 65,525 clusters.
  Chosen(256u * 2048 - 1, true);
  EXPECT_EQ(NewPartition.type, kTypeFat16);
  Chosen(260u * 2048 - 1, true);
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
}
