#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "platform/byte_order.h"
#include "platform/window.h"
#include "tests/engine/test_card.h"

// Cards of 40,000 sectors: the njata95 geometry gives them 16 heads of 63 sectors, 1,008 sectors a
// cylinder. Cylinder k, head 0, sector 1 is sector 1008 k.
const uint64_t kCardSectors = 40000;
const uint32_t kCylinder = 1008;

// A partition table entry: type, start CHS and the start LBA as stored (relative to a base).
struct Entry {
  uint8_t type;
  uint16_t cylinder, head, sector;
  uint32_t lba;
};

static std::vector<uint8_t> Table(std::initializer_list<Entry> entries) {
  std::vector<uint8_t> sector(512, 0);
  uint8_t* at = sector.data() + kMbrPartitionTable;
  for (const Entry& e : entries) {
    PartitionInfo info = {0, e.cylinder, e.head, e.sector, e.type, 0, 0, 0, e.lba, 1000};
    PackPartitionEntry(info, at);
    at += 16;
  }
  PutLe16(sector.data() + kBootSignature, 0xAA55);
  return sector;
}

// A FAT12/16 boot sector (name at 54) or a FAT32 one (name at 82), with the fields the probe uses.
static std::vector<uint8_t> BootSector(const char* name, uint32_t reserved, uint8_t fats,
                                       uint32_t fat_size, uint32_t root_entries) {
  std::vector<uint8_t> sector(512, 0);
  bool fat32 = std::strcmp(name, "FAT32") == 0;
  sector[0] = 0xEB;
  sector[1] = fat32 ? 0x58 : 0x3C;
  sector[2] = 0x90;
  PutLe16(sector.data() + kBpbRsvdSecCnt, reserved);
  sector[kBpbNumFats] = fats;
  PutLe16(sector.data() + kBpbRootEntCnt, root_entries);
  if (fat32)
    PutLe32(sector.data() + kBpbFatSz32, fat_size);
  else
    PutLe16(sector.data() + kBpbFatSz16, fat_size);
  std::memcpy(sector.data() + (fat32 ? kBs32FilSysType : kBs16FilSysType), name, 5);
  return sector;
}

// A directory sector whose entries begin with these bytes; the rest of it is zero.
static std::vector<uint8_t> DirSector(std::initializer_list<uint8_t> first_bytes) {
  std::vector<uint8_t> sector(512, 0);
  size_t at = 0;
  for (uint8_t b : first_bytes) {
    std::memset(sector.data() + at, 'A', 11);
    sector[at] = b;
    at += 32;
  }
  return sector;
}

// An empty FAT16 volume whose boot sector is at cylinder `c`, head 1: one reserved sector, two
// FATs of one sector, one root directory sector (16 entries).
static Entry EmptyFat16(TestCard& card, uint16_t c, uint32_t lba) {
  card.PutSector(c * kCylinder + 63, BootSector("FAT16", 1, 2, 1, 16));
  return Entry{0x06, c, 1, 1, lba};
}

static size_t Reads() {
  size_t reads = 0;
  for (const Transfer& t : Transfers) reads += t.write ? 0 : 1;
  return reads;
}

static int32_t Scan() {
  EXPECT_EQ(CalcGeometry(), 0);
  return ReadPartitionTables(AdapterNumber);
}

TEST(ParsePartitionEntry, FieldsAndAbsoluteStarts) {
  const uint8_t entries[64] = {
      0x80, 0xFE, 0xFF, 0xFF, 0x06, 0x0F, 0xC1, 0x02, 0x00, 0x00, 0x00, 0x80, 1, 2, 0, 0,
      0x00, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00, 0x00, 100,  0,    0,    0,    0, 0, 0, 0,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 7,    0,    0,    0,    0, 0, 0, 0,
      0x00, 0x00, 0x00, 0x00, 0x0B, 0x00, 0x00, 0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  PartitionInfo t[4];
  ParsePartitionEntry(entries, 1000, 0x20, t);
  EXPECT_EQ(t[0].start_cylinder, 1023);  // 0xFF and bits 6-7 of the sector byte
  EXPECT_EQ(t[0].end_cylinder, 770);
  EXPECT_EQ(t[0].start_lba, 0x80000020u);  // 2,147,483,648 and the table's own base
  EXPECT_EQ(t[1].start_lba, 1100u);  // a link: the extended base
  EXPECT_EQ(t[2].start_lba, 7u);     // empty: as read
  EXPECT_EQ(t[3].start_lba, 0x10u);  // wraps at 32 bits
}

TEST(ReadPartitionTables, MasterBootRecordSortedExtendedRecordsNot) {
  TestCard card(kCardSectors);
  // A blank card: one table of empty entries, and nothing in use.
  EXPECT_EQ(Scan(), 0);
  EXPECT_EQ(PartitionList.count, 1);
  for (const PartitionInfo& p : PartitionList.table[0]) EXPECT_EQ(p.type, 0);
  EXPECT_EQ(TargetHasFiles(AdapterNumber), 1);

  card.PutSector(0, Table({{0x00, 0, 0, 0, 0}, {0x07, 5, 0, 1, 5040},
                           {0x0F, 2, 0, 1, 2016}, {0x07, 1, 0, 1, 1008}}));
  card.PutSector(2016, Table({{0x07, 9, 0, 1, 1}, {0x07, 3, 0, 1, 2}}));
  ASSERT_EQ(Scan(), 0);
  ASSERT_EQ(PartitionList.count, 2);
  const PartitionInfo* mbr = PartitionList.table[0];
  EXPECT_EQ(mbr[0].type, 0);  // the empty entry stays in front
  EXPECT_EQ(mbr[1].start_cylinder, 1);
  EXPECT_EQ(mbr[2].start_cylinder, 2);
  EXPECT_EQ(mbr[3].start_cylinder, 5);
  EXPECT_EQ(PartitionList.table[1][0].start_cylinder, 9);
  EXPECT_EQ(PartitionList.table[1][1].start_cylinder, 3);
}

// The link's CHS fields lead to the next record; its start LBA only sets the bases: the first
// link's for every later link, each link's own for the partitions of the record it leads to.
TEST(ReadPartitionTables, ChainFollowedByChsWithBothBases) {
  TestCard card(kCardSectors);
  card.PutSector(0, Table({{0x06, 0, 1, 1, 63}, {0x05, 10, 0, 1, 10080}}));
  card.PutSector(10080, Table({{0x06, 10, 1, 1, 63}, {0x05, 20, 0, 1, 4920}}));
  // The second link's LBA says 15,000 (10,080 + 4,920); its CHS says 20,160.
  card.PutSector(15000, Table({{0x07, 0, 0, 1, 0}}));
  card.PutSector(20160, Table({{0x06, 20, 1, 1, 63}, {0x0F, 30, 0, 1, 20160}}));
  card.PutSector(30240, Table({{0x0B, 30, 1, 1, 63}}));
  RecordReport();
  ASSERT_EQ(Scan(), 0);
  ASSERT_EQ(PartitionList.count, 4);
  EXPECT_EQ(PartitionList.table[1][0].start_lba, 10143u);
  EXPECT_EQ(PartitionList.table[1][1].start_lba, 15000u);
  EXPECT_EQ(PartitionList.table[2][0].start_lba, 15063u);  // own base: the link's 15,000
  EXPECT_EQ(PartitionList.table[2][1].start_lba, 30240u);  // extended base: 10,080
  EXPECT_EQ(PartitionList.table[3][0].type, kTypeFat32);
  EXPECT_EQ(PartitionList.table[3][0].start_lba, 30303u);
  // The bar steps by 20 once per table.
  std::string steps;
  for (const Reported& r : ReportedCalls) {
    if (r.what == Reported::kStep) steps += "step" + std::to_string(r.value) + " ";
    if (r.what == Reported::kStepIt) steps += "it ";
  }
  EXPECT_EQ(steps, "step20 it step20 it step20 it step20 it ");

  // A failed read ends the walk with -1 and keeps the tables read before it.
  FailReads("20160");
  EXPECT_EQ(Scan(), -1);
  EXPECT_EQ(PartitionList.count, 2);
  // When sector 0 cannot be read, no table of the earlier scan is left to judge.
  FailReads("0");
  EXPECT_EQ(Scan(), -1);
  EXPECT_EQ(PartitionList.count, 0);
  EXPECT_EQ(TargetHasFiles(AdapterNumber), -1);
}

// Extended records at cylinders 1, 2, ... each holding an empty FAT16 volume and a link to the
// next one; the last of `records` has four volumes and no link, or links back to itself.
static void PutChain(TestCard& card, int records, bool loop) {
  card.PutSector(0, Table({{0x05, 1, 0, 1, kCylinder}}));
  for (int k = 1; k <= records; ++k) {
    uint16_t c = static_cast<uint16_t>(k);
    Entry volume = EmptyFat16(card, c, 63);
    uint16_t next = static_cast<uint16_t>(k == records ? k : k + 1);
    Entry link = {0x05, next, 0, 1, (next - 1u) * kCylinder};
    if (k < records || loop)
      card.PutSector(c * kCylinder, Table({volume, link}));
    else
      card.PutSector(c * kCylinder, Table({volume, volume, volume, volume}));
  }
}

TEST(ReadPartitionTables, ChainsEndAtTheListsTwentySixTables) {
  {
    // 1 + 25 records: the whole chain fits, and its empty volumes hold nothing.
    TestCard card(kCardSectors);
    PutChain(card, 25, false);
    RecordTransfers();
    EXPECT_EQ(Scan(), 0);
    EXPECT_EQ(PartitionList.count, kMaxPartitionTables);
    EXPECT_EQ(Reads(), 26u);
    EXPECT_EQ(TargetHasFiles(AdapterNumber), 1);
  }
  for (bool loop : {false, true}) {
    // One record more, or a record that links to itself: the walk stops with the list full, and
    // what lies past it counts as a partition nobody looked into.
    TestCard card(kCardSectors);
    PutChain(card, loop ? 1 : 26, loop);
    RecordTransfers();
    EXPECT_EQ(Scan(), 0) << loop;
    EXPECT_EQ(PartitionList.count, kMaxPartitionTables) << loop;
    EXPECT_EQ(Reads(), 26u) << loop;
    EXPECT_EQ(TargetHasFiles(AdapterNumber), 0) << loop;
  }
}

TEST(TargetHasFiles, RootDirectoriesOfTheMasterBootRecordsPartitions) {
  TestCard card(kCardSectors);
  // Cylinder 1: first root entry deleted, second the end. Cylinder 2: a volume label.
  // Cylinder 3: a type 6 partition whose boot sector says FAT32. Cylinder 4: a FAT12 volume.
  Entry deleted = EmptyFat16(card, 1, 1071);
  card.PutSector(kCylinder + 63 + 3, DirSector({0xE5, 0x00}));
  Entry label = EmptyFat16(card, 2, 2079);
  card.PutSector(2 * kCylinder + 63 + 3, DirSector({'K'}));
  card.PutSector(3 * kCylinder + 63, BootSector("FAT32", 32, 2, 1, 0));
  Entry wrong = {0x06, 3, 1, 1, 3087};
  card.PutSector(4 * kCylinder + 63, BootSector("FAT12", 1, 2, 1, 16));
  Entry fat12 = {0x01, 4, 1, 1, 4095};
  Entry ntfs = {0x07, 5, 1, 1, 5103};
  struct Case {
    std::vector<uint8_t> mbr;
    int32_t files;
    size_t reads;  // besides sector 0
  } cases[] = {
      {Table({deleted, fat12}), 1, 4},
      {Table({deleted, label}), 0, 4},
      {Table({ntfs}), 0, 0},  // decided without reading the card
      {Table({wrong}), -1, 1},
      {Table({wrong, deleted}), -1, 3},
      // A probe that failed hides nothing: an unknown partition after it still asks the user.
      {Table({wrong, ntfs}), 0, 1},
  };
  for (const Case& c : cases) {
    card.PutSector(0, c.mbr);
    ASSERT_EQ(Scan(), 0);
    RecordTransfers();
    EXPECT_EQ(TargetHasFiles(AdapterNumber), c.files) << &c - cases;
    EXPECT_EQ(Reads(), c.reads) << &c - cases;
  }
  // A root directory that cannot be read.
  card.PutSector(0, Table({deleted}));
  ASSERT_EQ(Scan(), 0);
  FailReads("1074");
  EXPECT_EQ(TargetHasFiles(AdapterNumber), -1);
}

TEST(CheckFatRootDir, UntrustedBootSectorsAndDirectories) {
  TestCard card(2100);  // two cylinders: sectors 0 to 2,099
  ASSERT_EQ(CalcGeometry(), 0);
  PartitionInfo partition = {};
  partition.start_head = 1;
  partition.start_sector = 1;
  uint8_t buffer[512];
  RecordTransfers();
  // No root directory sectors, or every one deleted: no end found.
  card.PutSector(63, BootSector("FAT16", 0, 0, 0, 0));
  EXPECT_EQ(CheckFatRootDir(0, partition, buffer), -1);
  card.PutSector(63, BootSector("FAT16", 1, 2, 1, 32));
  card.PutSector(66, std::vector<uint8_t>(512, 0xE5));
  card.PutSector(67, std::vector<uint8_t>(512, 0xE5));
  EXPECT_EQ(CheckFatRootDir(0, partition, buffer), -1);
  EXPECT_EQ(Reads(), 4u);  // two boot sectors, the two root directory sectors
  // FATs reaching past the last sector number a card can have: nothing beyond the boot sector
  // is read.
  card.PutSector(63, BootSector("FAT32", 0xFFFF, 255, 0xFFFFFFFF, 0));
  RecordTransfers();
  EXPECT_EQ(CheckFat32RootDir(0, partition, buffer), -1);
  EXPECT_EQ(Reads(), 1u);
  // A FAT32 root directory of deleted entries is read along its cluster chain (2, 3, 4) and no
  // further, however many deleted entries follow on the card; an end mark or an entry in use in
  // its last cluster decides. A chain that loops back stops at 65,536 entries.
  std::vector<uint8_t> fat32 = BootSector("FAT32", 32, 2, 1, 0);  // FATs at 95, 96; data at 97
  fat32[kBpbSecPerClus] = 2;
  PutLe32(fat32.data() + kBpbTotSec32, 2000);
  card.PutSector(63, fat32);
  std::vector<uint8_t> deleted(512, 0xE5);
  for (uint32_t lba = 97; lba < 2100; ++lba) card.PutSector(lba, deleted);
  std::vector<uint8_t> fat(512, 0);
  PutLe32(fat.data() + 8, 3);
  PutLe32(fat.data() + 12, 4);
  PutLe32(fat.data() + 16, 0x0FFFFFFF);
  card.PutSector(95, fat);
  RecordTransfers();
  EXPECT_EQ(CheckFat32RootDir(0, partition, Fat32BootBuffer), -1);
  EXPECT_EQ(Reads(), 1u + 6 + 1);  // boot sector, three clusters of two, one FAT sector
  card.PutSector(102, DirSector({0xE5, 0x00}));
  EXPECT_EQ(CheckFat32RootDir(0, partition, Fat32BootBuffer), 1);
  card.PutSector(101, DirSector({0xE5, 'F'}));
  EXPECT_EQ(CheckFat32RootDir(0, partition, Fat32BootBuffer), 0);
  card.PutSector(101, deleted);
  card.PutSector(102, deleted);
  PutLe32(fat.data() + 16, 2);
  card.PutSector(95, fat);
  RecordTransfers();
  EXPECT_EQ(CheckFat32RootDir(0, partition, Fat32BootBuffer), -1);
  EXPECT_EQ(Reads(), 1u + 4096 + 1);
  // A start CHS outside the card.
  partition.start_cylinder = 1023;
  EXPECT_EQ(CheckFatRootDir(0, partition, buffer), -1);
  EXPECT_EQ(CheckFat32RootDir(0, partition, buffer), -1);
}
