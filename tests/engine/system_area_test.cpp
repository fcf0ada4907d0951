#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "platform/byte_order.h"
#include "platform/window.h"
#include "tests/engine/test_card.h"

// A 16 MiB card, FAT16: 32,193 sectors from 63; 4-sector clusters; FATs at 64 and 96 (32 sectors
// each), root directory 128-159, cluster 2 at 160, end 32,256.
static const uint64_t k16MiB = 16 * 2048;
// A 300 MiB card, FAT32: 613,809 sectors from 63; 8-sector clusters; FATs at 95 and 694 (599
// sectors each), cluster 2 (the root directory) at 1,293.
static const uint64_t k300MiB = 300 * 2048;
// Cluster c starts at 160 + (c - 2) x 4 (FAT16) or 1,293 + (c - 2) x 8 (FAT32).

static std::vector<uint32_t> BadList() {
  return std::vector<uint32_t>(BadClusterList.cluster,
                               BadClusterList.cluster + BadClusterList.count);
}

TEST(DataCheck, SwitchedOffReadsNoDataAndMarksNothing) {
  TestCard card(k16MiB);
  FailReads("172");
  RecordTransfers();
  ASSERT_EQ(FormatCard(false), 0);
  for (const Transfer& t : Transfers) EXPECT_FALSE(!t.write && t.lba >= 160) << t.lba;
  EXPECT_EQ(BadClusterList.count, 0);
  EXPECT_EQ(GetLe32(card.Sector(64).data() + 8), 0u);
}

TEST(DataCheck, Fat16BadClustersAreMarkedInEveryCopy) {
  TestCard card(k16MiB);
  ChkDataArea = 1;
  FailReads("173,1352");  // inside clusters 5 and 300
  ASSERT_EQ(FormatCard(false), 0);
  EXPECT_EQ(BadList(), (std::vector<uint32_t>{5, 300}));
  for (uint32_t fat : {64u, 96u}) {
    std::vector<uint8_t> first = card.Sector(fat), second = card.Sector(fat + 1);
    EXPECT_EQ(GetLe16(&first[10]), 0xFFF7);
    EXPECT_EQ(GetLe16(&second[88]), 0xFFF7);
    EXPECT_EQ(std::count(first.begin(), first.end(), 0), 512 - 6);
    EXPECT_EQ(std::count(second.begin(), second.end(), 0), 512 - 2);
    EXPECT_EQ(card.Sector(fat + 2), std::vector<uint8_t>(512, 0));
  }
}

TEST(DataCheck, Fat32BadClusterIsMarkedAndNotCountedFree) {
  TestCard card(k300MiB);
  ChkDataArea = 1;
  FailReads("2317");  // cluster 130, inside a batch of 16 that is read again cluster by cluster
  ASSERT_EQ(FormatCard(true), 0);
  EXPECT_EQ(BadList(), (std::vector<uint32_t>{130}));
  for (uint32_t fat : {95u, 694u}) {
    std::vector<uint8_t> first = card.Sector(fat), second = card.Sector(fat + 1);
    EXPECT_EQ(GetLe32(&first[8]), 0x0FFFFFFFu);  // the reserved entries stay whole
    EXPECT_EQ(GetLe32(&second[8]), 0xFFFFFFF7u);
  }
  EXPECT_EQ(GetLe32(card.Sector(64).data() + kFsiFreeCount), 76572u - 1 - 1);
}

TEST(DataCheck, Fat32RootDirectoryClusterBadFailsTheFormat) {
  TestCard card(k300MiB);
  ChkDataArea = 1;
  FailReads("1300");
  EXPECT_EQ(FormatCard(true), kErrRootDirArea);
  EXPECT_EQ(card.Sector(0)[510], 0);
}

TEST(DataCheck, ThousandTwentyThreeBadClustersAreAcceptedNotOneMore) {
  TestCard card(k16MiB);
  ChkDataArea = 1;
  // Clusters 3 to 1025 (cluster 2 lies under the root directory check's last read).
  FailReads("164-4255");
  EXPECT_EQ(FormatCard(false), 0);
  EXPECT_EQ(BadClusterList.count, 1023);
  EXPECT_EQ(GetLe16(card.Sector(64 + 1025 / 256).data() + 2), 0xFFF7);  // cluster 1025

  TestCard again(k16MiB);
  ChkDataArea = 1;
  FailReads("164-4259");
  EXPECT_EQ(FormatCard(false), kErrTooManyBadSectors);
  EXPECT_EQ(BadClusterList.count, 1024);
  EXPECT_EQ(again.Sector(0)[510], 0);
}

TEST(DataCheck, Fat32LastBatchTakesWholeClustersOnly) {
  uint8_t boot[512] = {};
  boot[kBpbSecPerClus] = 8;
  for (uint32_t tail : {20u, 3u}) {
    TestCard card(1000);
    RecordTransfers();
    ASSERT_EQ(CheckDataArea32(0, boot, 100, 100 + 2 * 128 + tail), 0);
    ASSERT_EQ(Transfers.size(), 3u);
    EXPECT_EQ(Transfers[1].count, 128u);
    EXPECT_EQ(Transfers[2].lba, 356u);
    EXPECT_EQ(Transfers[2].count, tail / 8 * 8);  // 16, or 0 for less than a cluster
  }
}

TEST(WriteOrder, SystemAreasThenBootRecordThenSectorZero) {
  TestCard card(k300MiB);
  RecordTransfers();
  ASSERT_EQ(FormatCard(true), 0);
  std::vector<uint32_t> writes = WrittenSectors();
  const std::vector<uint32_t> tail = {63, 69, 64, 70, 65, 71, 0};
  ASSERT_GT(writes.size(), tail.size());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), writes.end() - tail.size()));
  for (size_t i = 0; i + tail.size() < writes.size(); ++i) EXPECT_GE(writes[i], 95u) << i;

  TestCard fat16(k16MiB);
  RecordTransfers();
  ASSERT_EQ(FormatCard(false), 0);
  writes = WrittenSectors();
  ASSERT_EQ(writes.size(), 2u * 32 + 32 + 2);
  EXPECT_EQ(writes[writes.size() - 2], 63u);
  EXPECT_EQ(writes.back(), 0u);
}

struct Fault {
  bool fat32;
  bool write;
  const char* sector;
  int32_t result;
};

TEST(WriteOrder, NoPartitionEntryAfterAnyFailure) {
  const Fault faults[] = {
      {false, true, "64", kErrFatWrite},  {false, true, "65", kErrFatWrite},
      {false, true, "96", kErrFatWrite},  {false, true, "128", kErrRootDirWrite},
      {false, true, "63", kErrIplWrite},  {false, true, "0", kEngineFailed},
      {false, false, "64", kErrFatArea},  {false, false, "140", kErrRootDirArea},
      {true, true, "95", kEngineFailed},  {true, true, "96", kErrFatWrite},
      {true, true, "694", kEngineFailed}, {true, true, "1293", kEngineFailed},
      {true, true, "63", kErrIplWrite},   {true, true, "69", kErrIplWrite},
      {true, true, "64", kErrIplWrite},   {true, true, "70", kErrIplWrite},
      {true, true, "65", kEngineFailed},  {true, true, "71", kEngineFailed},
      {true, true, "0", kEngineFailed},   {true, false, "95", kErrFatArea},
  };
  for (const Fault& f : faults) {
    TestCard card(f.fat32 ? k300MiB : k16MiB);
    (f.write ? FailWrites : FailReads)(f.sector);
    RecordTransfers();
    EXPECT_EQ(FormatCard(f.fat32), f.result) << f.sector;
    std::vector<uint32_t> writes = WrittenSectors();
    bool mbr_written = std::find(writes.begin(), writes.end(), 0u) != writes.end();
    EXPECT_EQ(mbr_written, std::string(f.sector) == "0") << f.sector;
    EXPECT_EQ(card.Sector(0)[510], 0) << f.sector;
  }
}

TEST(Abort, Fat32StopsAtItsNextPoll) {
  TestCard card(k300MiB);
  RecordTransfers(5);  // the interrupt is confirmed during the fifth write
  EXPECT_EQ(FormatCard(true), kEngineStopped);
  EXPECT_EQ(WrittenSectors().size(), 5u);
  EXPECT_EQ(card.Sector(63)[510], 0);

  TestCard checked(k300MiB);
  ChkDataArea = 1;
  RecordTransfers(1);
  EventSet(AbortEvent);  // already set when the format starts: nothing is read or written
  EXPECT_EQ(FormatCard(true), kEngineStopped);
  EXPECT_TRUE(Transfers.empty());
}

TEST(Abort, Fat16NeverPollsAndRunsToItsEnd) {
  TestCard card(k16MiB);
  ChkDataArea = 1;
  RecordTransfers(1);
  EXPECT_EQ(FormatCard(false), 0);
  EXPECT_TRUE(AbortRequested());
  EXPECT_EQ(card.Sector(0)[510], 0x55);
}

TEST(Progress, EveryPhaseShowsItsTextAndRunsTheBarToItsEnd) {
  TestCard card(k16MiB);
  ChkDataArea = 1;
  RecordReport();
  ASSERT_EQ(FormatCard(false), 0);
  struct Phase {
    const char* status;
    uint32_t length;
  };
  const Phase phases[] = {{kStatusDataCheck, (32256 - 160) / 1024},
                          {kStatusFatCheck, 64},
                          {kStatusFatInit, 64},
                          {kStatusRootCheck, 32},
                          {kStatusRootInit, 32}};
  ASSERT_FALSE(ReportedCalls.empty());
  EXPECT_EQ(ReportedCalls[0].text, "システムエリアの初期化");
  size_t at = 1;
  for (const Phase& phase : phases) {
    ASSERT_LT(at + 2, ReportedCalls.size());
    EXPECT_EQ(ReportedCalls[at].text, phase.status);
    EXPECT_EQ(ReportedCalls[at + 1].what, Reported::kPosition);
    EXPECT_EQ(ReportedCalls[at + 1].value, 0u);
    EXPECT_EQ(ReportedCalls[at + 2].what, Reported::kRange);
    EXPECT_EQ(ReportedCalls[at + 2].value, phase.length);
    uint32_t last = 0;
    for (at += 3; at < ReportedCalls.size() && ReportedCalls[at].what != Reported::kStatus; ++at) {
      EXPECT_EQ(ReportedCalls[at].what, Reported::kPosition);
      EXPECT_GE(ReportedCalls[at].value, last) << phase.length;
      last = ReportedCalls[at].value;
    }
    EXPECT_EQ(last, phase.length);
  }
  EXPECT_EQ(at, ReportedCalls.size());
}

TEST(Progress, RangeIsSixteenBitAndWithoutAReportNothingIsShown) {
  TestCard card(1);
  RecordReport();
  ProgressSetRange(70000);
  ASSERT_EQ(ReportedCalls.size(), 1u);
  EXPECT_EQ(ReportedCalls[0].value, 70000u & 0xFFFF);
  RegisteredReport = nullptr;
  ProgressPhase("x", 10);
  ProgressAdvance(5);
  EXPECT_EQ(ReportedCalls.size(), 1u);
  EXPECT_FALSE(AbortRequested());  // no AbortEvent: never interrupted
}
