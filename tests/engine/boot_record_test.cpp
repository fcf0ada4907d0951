#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/boot_record.h"
#include "engine/byte_order.h"
#include "engine/partition.h"
#include "engine/vol_serial.h"
#include "tests/engine/test_card.h"

static std::string Text(const std::vector<uint8_t>& s, size_t at, size_t n) {
  return std::string(s.begin() + at, s.begin() + at + n);
}
static std::string Hex(const uint8_t* p, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    out += "0123456789ABCDEF"[p[i] >> 4];
    out += "0123456789ABCDEF"[p[i] & 15];
  }
  return out;
}
static bool Contains(const uint8_t* sector, const char* text) {
  return std::string(sector, sector + 512).find(text) != std::string::npos;
}
static bool AllZero(const std::vector<uint8_t>& s, size_t from, size_t to) {
  return std::all_of(s.begin() + from, s.begin() + to, [](uint8_t b) { return b == 0; });
}

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

TEST(Templates, FixedFieldsAndSignatures) {
  // Jump, OEM name, 512-byte sectors, (cluster size), reserved sectors, 2 FATs, root entries,
  // TotSec16 0, media F8 (and for FAT32: FATSz16 0).
  EXPECT_EQ(Hex(kFat16BootTemplate, 22), "EB3C904D5357494E342E3100020001000200020000F8");
  EXPECT_EQ(Hex(kFat32BootTemplate, 24), "EB58904D5357494E342E3100020020000200000000F80000");
  // Drive 80, reserved, boot signature 29; FAT32: flags, version, root cluster 2, FSInfo 1,
  // backup 6 and twelve reserved bytes before them.
  EXPECT_EQ(Hex(kFat16BootTemplate + kBs16DrvNum, 3), "800029");
  EXPECT_EQ(Hex(kFat32BootTemplate + kBpbExtFlags, 27),
            "000000000200000001000600000000000000000000000000800029");
  // FAT16 label and file system type: blanks (the type's first five are set when formatting).
  EXPECT_EQ(std::string(kFat16BootTemplate + kBs16VolLab, kFat16BootTemplate + kBs16BootCode),
            std::string(19, ' '));
  for (const char* text : {"IO      SYS", "MSDOS   SYS"})
    EXPECT_TRUE(Contains(kFat16BootTemplate, text)) << text;
  for (const char* text : {"NO NAME    ", "IO      SYS", "MSDOS   SYS", "WINBOOT SYS"})
    EXPECT_TRUE(Contains(kFat32BootTemplate, text)) << text;
  for (const char* text :
       {"Invalid partition table", "Error loading operating system", "Missing operating system"})
    EXPECT_TRUE(Contains(kMbrTemplate, text)) << text;
  for (const uint8_t* t : {kMbrTemplate, kFat16BootTemplate, kFat32BootTemplate,
                           kFat32BootCodeTemplate})
    EXPECT_EQ(Hex(t + 510, 2), "55AA");
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
