#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/boot_record.h"
#include "engine/byte_order.h"
#include "engine/partition.h"
#include "engine/vol_serial.h"
#include "tests/engine/test_card.h"

static std::string Text(const uint8_t* p, size_t n) { return std::string(p, p + n); }
static std::string Text(const std::vector<uint8_t>& s, size_t at, size_t n) {
  return Text(s.data() + at, n);
}
static bool Contains(const uint8_t* sector, const char* text) {
  return std::string(sector, sector + 512).find(text) != std::string::npos;
}
static bool AllZero(const std::vector<uint8_t>& s, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (s[i] != 0) return false;
  return true;
}

TEST(ClusterSize, ThresholdsOfBothTables) {
  EXPECT_EQ(ClusterSizeFat16(262143), 4u);
  EXPECT_EQ(ClusterSizeFat16(262144), 8u);
  EXPECT_EQ(ClusterSizeFat16(999873), 16u);
  EXPECT_EQ(ClusterSizeFat16(4193217), 64u);
  EXPECT_EQ(ClusterSizeFat32(16777215), 8u);
  EXPECT_EQ(ClusterSizeFat32(16777216), 16u);
  EXPECT_EQ(ClusterSizeFat32(67108864), 64u);
  EXPECT_EQ(FatSize16(999873, 16), 245u);
}

TEST(ClusterSize, SmallestCardsKeepEnoughClustersForFat16) {
  // An 8 MiB card's 16,065 sectors in 4-sector clusters would be 4,000 clusters: FAT12.
  EXPECT_EQ(ClusterSizeFat16(16065), 2u);
  EXPECT_GE(Fat16ClusterCount(16065, 2), kMinFat16Clusters);
  EXPECT_EQ(ClusterSizeFat16(32193), 4u);
}

TEST(Templates, FixedFieldsAndSignatures) {
  const uint8_t* t16 = kFat16BootTemplate;
  EXPECT_EQ(Text(t16, 11), std::string("\xEB\x3C\x90MSWIN4.1"));
  EXPECT_EQ(GetLe16(t16 + kBpbBytsPerSec), 512);
  EXPECT_EQ(GetLe16(t16 + kBpbRsvdSecCnt), 1);
  EXPECT_EQ(t16[kBpbNumFats], 2);
  EXPECT_EQ(GetLe16(t16 + kBpbRootEntCnt), 512);
  EXPECT_EQ(t16[kBpbMedia], 0xF8);
  EXPECT_EQ(t16[kBs16DrvNum], 0x80);
  EXPECT_EQ(t16[kBs16BootSig], 0x29);
  EXPECT_EQ(Text(t16 + kBs16VolLab, 11), "           ");
  EXPECT_TRUE(Contains(t16, "IO      SYS"));
  EXPECT_TRUE(Contains(t16, "MSDOS   SYS"));

  const uint8_t* t32 = kFat32BootTemplate;
  EXPECT_EQ(Text(t32, 11), std::string("\xEB\x58\x90MSWIN4.1"));
  EXPECT_EQ(GetLe16(t32 + kBpbRsvdSecCnt), 32);
  EXPECT_EQ(GetLe16(t32 + kBpbRootEntCnt), 0);
  EXPECT_EQ(GetLe16(t32 + kBpbFatSz16), 0);
  EXPECT_EQ(GetLe32(t32 + kBpbRootClus), 2u);
  EXPECT_EQ(GetLe16(t32 + kBpbFsInfo), 1);
  EXPECT_EQ(GetLe16(t32 + kBpbBkBootSec), 6);
  EXPECT_EQ(Text(t32 + kBs32VolLab, 11), "NO NAME    ");
  for (const char* name : {"IO      SYS", "MSDOS   SYS", "WINBOOT SYS"})
    EXPECT_TRUE(Contains(t32, name)) << name;

  for (const char* message :
       {"Invalid partition table", "Error loading operating system", "Missing operating system"})
    EXPECT_TRUE(Contains(kMbrTemplate, message)) << message;
  for (uint32_t i = kMbrPartitionTable; i < kBootSignature; ++i) EXPECT_EQ(kMbrTemplate[i], 0) << i;
  for (const uint8_t* t : {kMbrTemplate, t16, t32, kFat32BootCodeTemplate}) {
    EXPECT_EQ(t[510], 0x55);
    EXPECT_EQ(t[511], 0xAA);
  }
}

TEST(FormatFat16, SectorsOfAMillionSectorCard) {
  TestCard card(1000001);  // READ CAPACITY: 1,000,000
  // Old contents of the second FAT sector and the root directory are wiped; data stays.
  for (uint32_t lba : {65u, 554u, 585u, 586u}) card.FillSector(lba, 0xEE);
  NewVolSerial = 0x12345678;
  ASSERT_EQ(FormatCard(false), 0);
  for (uint32_t lba : {65u, 554u, 585u}) EXPECT_TRUE(AllZero(card.Sector(lba), 0, 512)) << lba;
  EXPECT_EQ(card.Sector(586)[0], 0xEE);

  std::vector<uint8_t> mbr = card.Sector(0);
  EXPECT_EQ(0, std::memcmp(mbr.data(), kMbrTemplate, kMbrPartitionTable));
  const uint8_t entry[16] = {0x80, 0x01, 0x01, 0x00, 0x06, 0x0F, 0xFF, 0xDF,
                             0x3F, 0x00, 0x00, 0x00, 0xC1, 0x41, 0x0F, 0x00};
  EXPECT_EQ(0, std::memcmp(mbr.data() + kMbrPartitionTable, entry, 16));
  EXPECT_TRUE(AllZero(mbr, kMbrPartitionTable + 16, 510));

  std::vector<uint8_t> bs = card.Sector(63);
  EXPECT_EQ(bs[kBpbSecPerClus], 16);
  EXPECT_EQ(GetLe16(&bs[kBpbTotSec16]), 0);
  EXPECT_EQ(GetLe16(&bs[kBpbFatSz16]), 245);
  EXPECT_EQ(GetLe16(&bs[kBpbSecPerTrk]), 63);
  EXPECT_EQ(GetLe16(&bs[kBpbNumHeads]), 16);
  EXPECT_EQ(GetLe32(&bs[kBpbHiddSec]), 63u);
  EXPECT_EQ(GetLe32(&bs[kBpbTotSec32]), 999873u);
  EXPECT_EQ(GetLe32(&bs[kBs16VolId]), 0x12345678u);
  EXPECT_EQ(Text(bs, kBs16FilSysType, 8), "FAT16   ");
  EXPECT_EQ(0, std::memcmp(&bs[kBs16BootCode], kFat16BootTemplate + kBs16BootCode, 512 - 62));

  // Both FATs start F8 FF FF FF; FAT 1 at 64, FAT 2 at 64 + 245, root directory after them.
  for (uint32_t fat : {64u, 64u + 245}) {
    std::vector<uint8_t> first = card.Sector(fat);
    EXPECT_EQ(GetLe32(first.data()), 0xFFFFFFF8u);
    EXPECT_TRUE(AllZero(first, 4, 512));
  }
}

TEST(FormatFat32, BootRecordBackupFsInfoAndBootCode) {
  TestCard card(300 * 2048);  // 613,809 sectors in 16 x 63 x 609
  const uint32_t b = 63, root = b + 32 + 2 * 599;
  for (uint32_t lba = root; lba < root + 8; ++lba) card.FillSector(lba, 0xEE);
  NewVolSerial = 0xCAFE0001;
  ASSERT_EQ(FormatCard(true), 0);
  for (uint32_t lba = root; lba < root + 8; ++lba) EXPECT_TRUE(AllZero(card.Sector(lba), 0, 512));
  std::vector<uint8_t> bs = card.Sector(b);
  EXPECT_EQ(bs[kBpbSecPerClus], 8);
  EXPECT_EQ(GetLe32(&bs[kBpbTotSec32]), 613809u);
  EXPECT_EQ(GetLe32(&bs[kBpbFatSz32]), 599u);  // ceiling of 613,777 / 1,025
  EXPECT_EQ(GetLe32(&bs[kBs32VolId]), 0xCAFE0001u);
  EXPECT_EQ(Text(bs, kBs32FilSysType, 8), "FAT32   ");
  EXPECT_EQ(card.Sector(b + 6), bs);

  // Free: (613,809 - 32 - 2 x 599) / 8 clusters, less the root directory's.
  std::vector<uint8_t> info = card.Sector(b + 1);
  EXPECT_EQ(Text(info, 0, 4), "RRaA");
  EXPECT_EQ(Text(info, 484, 4), "rrAa");
  EXPECT_EQ(GetLe32(&info[488]), 76572u - 1);
  EXPECT_EQ(GetLe32(&info[492]), 2u);
  EXPECT_EQ(info[510], 0x55);
  std::vector<uint8_t> backup_info = card.Sector(b + 7);
  EXPECT_EQ(GetLe32(&backup_info[488]), 0xFFFFFFFFu);
  std::vector<uint8_t> code(kFat32BootCodeTemplate, kFat32BootCodeTemplate + 512);
  EXPECT_EQ(card.Sector(b + 2), code);
  EXPECT_EQ(card.Sector(b + 8), code);

  const uint8_t reserved[12] = {0xF8, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF,
                                0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F};
  for (uint32_t fat : {b + 32, b + 32 + 599}) {
    std::vector<uint8_t> first = card.Sector(fat);
    EXPECT_EQ(0, std::memcmp(first.data(), reserved, 12));
    EXPECT_TRUE(AllZero(first, 12, 512));
  }
  EXPECT_EQ(card.Sector(0)[kMbrPartitionTable + 4], kTypeFat32);
}
