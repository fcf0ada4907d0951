// The rules a card in a reader is judged by, over a stand-in for the system's mount table, swap
// list and device information; and the DOS attributes a folder's files carry.
#include "tools/block_device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/folder_source.h"

namespace {

// The stand-in system: one card reader device "sdc" with two partitions, and what is in use.
BlockDeviceInfo card;
std::vector<std::string> mounted, swaps, system_devices;
std::vector<std::string> questions;
std::string answer;

bool StandInIsBlock(const char*) { return true; }
bool StandInDescribe(const char* path, BlockDeviceInfo* info, std::string* error) {
  if (std::string(path) != card.path) {
    *error = std::string(path) + " is no block device";
    return false;
  }
  *info = card;
  return true;
}
std::vector<std::string> StandInMounted() { return mounted; }
std::vector<std::string> StandInSwap() { return swaps; }
std::vector<std::string> StandInSystem() { return system_devices; }
std::string StandInAsk(const std::string& question) {
  questions.push_back(question);
  return answer;
}

class BlockDeviceRules : public testing::Test {
 protected:
  void SetUp() override {
    card = BlockDeviceInfo();
    card.path = "/dev/sdc";
    card.name = "sdc";
    card.bytes = uint64_t{1} << 30;
    card.model = "MOVANTA ATA CARD";
    card.partitions = {"sdc1", "sdc2"};
    mounted = {"sda2", "sda1"};
    swaps = {"sda3"};
    system_devices = {"dm-0", "sda2"};
    questions.clear();
    answer = "";
    saved_ = BlockDevices;
    BlockDevices = {StandInIsBlock, StandInDescribe, StandInMounted, StandInSwap, StandInSystem,
                    StandInAsk};
  }
  void TearDown() override { BlockDevices = saved_; }
  // The refusal, or "" after a confirmation that went through.
  std::string Confirm(bool yes) {
    BlockDeviceInfo info;
    std::string error;
    return ConfirmBlockDevice("/dev/sdc", yes, &info, &error) ? "" : error;
  }
  BlockDeviceSystem saved_;
};

}  // namespace

TEST_F(BlockDeviceRules, AnIdleCardIsWrittenOnlyAfterConfirmation) {
  EXPECT_EQ(Confirm(true), "");
  EXPECT_TRUE(questions.empty());  // --yes asks nothing

  answer = "no";
  EXPECT_EQ(Confirm(false), "not confirmed; nothing was written");
  ASSERT_EQ(questions.size(), 1u);
  // The question names the device, its model and its size.
  EXPECT_NE(questions[0].find("/dev/sdc (MOVANTA ATA CARD, 1.0 GiB)"), std::string::npos)
      << questions[0];
  answer = "";  // the end of the input
  EXPECT_NE(Confirm(false), "");
  for (const char* yes : {"yes", "YES\n", " sdc ", "/dev/sdc"}) {
    answer = yes;
    EXPECT_EQ(Confirm(false), "") << yes;
  }
}

TEST_F(BlockDeviceRules, CardsInUseAreRefused) {
  mounted.push_back("sdc2");  // one partition mounted
  EXPECT_EQ(Confirm(true), "sdc2 is mounted; unmount it first");
  mounted = {"sdc"};  // a file system on the whole card
  EXPECT_EQ(Confirm(true), "sdc is mounted; unmount it first");
  mounted.clear();
  swaps = {"sdc1"};
  EXPECT_EQ(Confirm(true), "sdc1 is in use as swap");
  swaps.clear();
  system_devices = {"dm-0", "sdc2"};  // the running system, under device mapper
  EXPECT_EQ(Confirm(true), "sdc holds the running system (sdc2)");
  system_devices.clear();
  card.holders = {"md127"};
  EXPECT_EQ(Confirm(true), "sdc is in use by md127 (device mapper or RAID)");
  card.holders.clear();
  card.whole_disk = false;
  card.name = "sdc1";
  EXPECT_EQ(Confirm(true), "sdc1 is a partition; give the whole card (the disk it belongs to)");
  card.whole_disk = true;
  card.bytes = 0;
  EXPECT_NE(Confirm(true).find("has no medium"), std::string::npos);
  card.bytes = uint64_t{3} << 40;
  EXPECT_NE(Confirm(true).find("larger than the 2 TiB"), std::string::npos);
  EXPECT_TRUE(questions.empty());  // a refused device is never asked about
  BlockDeviceInfo info;
  std::string error;
  EXPECT_FALSE(ConfirmBlockDevice("/dev/sdz", true, &info, &error));
  EXPECT_EQ(error, "/dev/sdz is no block device");
}

TEST(DosAttrib, WineAndSambaValues) {
  uint8_t bits = 0;
  EXPECT_TRUE(ParseDosAttrib("0x22", &bits));  // as Wine writes it
  EXPECT_EQ(bits, 0x22);
  EXPECT_TRUE(ParseDosAttrib(std::string("0x7\0\x03\x00\x03\x00", 9), &bits));  // Samba's
  EXPECT_EQ(bits, 0x07);
  EXPECT_TRUE(ParseDosAttrib("21", &bits));
  EXPECT_EQ(bits, 0x21);
  EXPECT_FALSE(ParseDosAttrib("", &bits));
  EXPECT_FALSE(ParseDosAttrib("0x", &bits));
  EXPECT_FALSE(ParseDosAttrib("hidden", &bits));
}
