#include "engine/vol_serial.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/boot_records.h"
#include "engine/errors.h"
#include "engine/partition.h"
#include "platform/byte_order.h"
#include "platform/clock_native.h"
#include "tests/engine/test_card.h"

static uint32_t SerialAt(uint16_t hour, uint16_t minute) {
  ClockTime t = {2000, 1, 6, 1, hour, minute, 0, 0};
  ClockStop(t, t);
  uint32_t serial = MakeVolSerial();
  ClockRun();
  return serial;
}

TEST(MakeVolSerial, BytesAreAddedSoTheyCarry) {
  EXPECT_EQ(SerialAt(0, 0), 0x010107D0u);
  EXPECT_EQ(SerialAt(0, 59), 0x0101080Bu);  // (2000 & 0xFF) + 59 = 0x10B carries into the next
}

// The boot sector at 63 with its serial replaced by `serial`.
static std::vector<uint8_t> WithSerial(std::vector<uint8_t> sector, uint32_t at, uint32_t serial) {
  PutLe32(&sector[at], serial);
  return sector;
}

TEST(SetVolSerial, RewritesOnlyTheSerialOfBootSectorAndBackup) {
  TestCard fat16(16 * 2048);
  ASSERT_EQ(FormatCard(false), 0);
  std::vector<uint8_t> before = fat16.Sector(63);
  NewVolSerial = 0xA1B2C3D4;
  ASSERT_EQ(SetVolSerial(0), 0);
  EXPECT_EQ(fat16.Sector(63), WithSerial(before, kBs16VolId, 0xA1B2C3D4));

  TestCard fat32(300 * 2048);
  ASSERT_EQ(FormatCard(true), 0);
  before = fat32.Sector(63);
  NewVolSerial = 0x0BADF00D;
  ASSERT_EQ(SetVolSerial(0), 0);
  EXPECT_EQ(fat32.Sector(63), WithSerial(before, kBs32VolId, 0x0BADF00D));
  EXPECT_EQ(fat32.Sector(69), fat32.Sector(63));
}

TEST(SetVolSerial, WritesNothingWithoutABootRecordOfThisRun) {
  TestCard card(300 * 2048);
  RecordTransfers();
  EXPECT_EQ(SetVolSerial(0), -1);  // no partition step yet
  EXPECT_TRUE(Transfers.empty());

  // A format that failed before its boot record: the sector holds old data.
  card.FillSector(63, 0xEE);
  FailWrites("64");
  ASSERT_EQ(FormatCard(false), kErrFatWrite);
  RecordTransfers();
  EXPECT_EQ(SetVolSerial(0), -1);
  EXPECT_TRUE(WrittenSectors().empty());

  // A boot sector whose backup field points far outside the reserved sectors.
  FailWrites("");
  ASSERT_EQ(FormatCard(true), 0);
  std::vector<uint8_t> forged = card.Sector(63);
  PutLe16(&forged[kBpbBkBootSec], 0xFFFF);
  card.PutSector(63, forged);
  RecordTransfers();
  EXPECT_EQ(SetVolSerial(0), -1);
  EXPECT_TRUE(WrittenSectors().empty());
}
