// The card emulator on its own: its configuration, the answers a driver owes to malformed or
// misdirected requests, and the volume serial file that follows the card's boot sector.
#include "cardsim/cardsim.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "aspi/srb.h"
#include "platform/threads.h"
#include "tests/aspi/temp_card.h"

TEST(SectorList, ParsesItemsAndRefusesAnythingElse) {
  SectorList list;
  ASSERT_TRUE(ParseSectorList("5, 100-199,4294967295", &list));
  EXPECT_EQ(list.count, 3u);
  EXPECT_TRUE(SectorListTouches(list, 5, 1));
  EXPECT_FALSE(SectorListTouches(list, 6, 94));  // 6..99
  EXPECT_TRUE(SectorListTouches(list, 90, 11));  // 90..100
  EXPECT_TRUE(SectorListTouches(list, 199, 1));
  EXPECT_FALSE(SectorListTouches(list, 200, 1));
  EXPECT_TRUE(SectorListTouches(list, 4294967295u, 1));
  EXPECT_FALSE(SectorListTouches(list, 5, 0));
  ASSERT_TRUE(ParseSectorList("all", &list));
  EXPECT_TRUE(SectorListTouches(list, 123456, 1));
  ASSERT_TRUE(ParseSectorList("", &list));
  EXPECT_FALSE(SectorListTouches(list, 0, 100));
  for (const char* bad : {"x", "5-", "-5", "9-3", "1,,2", "1,", "4294967296", "1 2", "0x10"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseSectorList(bad, &list));
    EXPECT_FALSE(SectorListTouches(list, 0, 0xFFFFFFFFu));  // nothing left behind
  }
  std::string many;
  for (int i = 0; i < 33; ++i) many += std::to_string(i * 2) + ",";
  many.pop_back();
  EXPECT_FALSE(ParseSectorList(many.c_str(), &list));  // more items than the list holds
}

class Environment : public ::testing::Test {
 protected:
  std::vector<std::string> set;
  void Set(const char* name, const char* value) {
    setenv(name, value, 1);
    set.push_back(name);
  }
  void TearDown() override {
    for (const std::string& name : set) unsetenv(name.c_str());
  }
};

TEST_F(Environment, VariablesOverrideTheDefaultsAndBadValuesAreRefused) {
  Set("CARDSIM_ADAPTERS", "aha2940,njata95,ABCDEFGHIJKLMNOPQRS");
  Set("CARDSIM_CARD_ADAPTER", "1");
  Set("CARDSIM_WRITE_HANG", "7-9");
  Set("CARDSIM_CAPACITY", "hang");
  Set("CARDSIM_SUPPORT_STATUS", "E8");
  Set("CARDSIM_HEADS", "256");
  Set("CARDSIM_READ_FAIL", "3-1");
  Set("CARDSIM_INQUIRY", "sometimes");
  Set("CARDSIM_MISSING_ENTRY", "GetASPI32Buffer");
  std::string long_path(300, 'a');
  Set("CARDSIM_IMAGE", long_path.c_str());
  CardSimConfig config;
  EXPECT_EQ(CardSimConfigFromEnvironment(&config), 5);
  EXPECT_EQ(config.adapter_count, 3);
  EXPECT_STREQ(config.adapters[1], "njata95");
  EXPECT_STREQ(config.adapters[2], "ABCDEFGHIJKLMNOP");  // cut to the 16-byte field
  EXPECT_EQ(config.card_adapter, 1);
  EXPECT_TRUE(SectorListTouches(config.write_hang, 9, 1));
  EXPECT_EQ(config.capacity, kHang);
  EXPECT_EQ(config.support_status, 0xE8);
  // Refused values keep their defaults; a path is refused, never cut.
  EXPECT_EQ(config.heads, 16);
  EXPECT_FALSE(SectorListTouches(config.read_fail, 0, 10));
  EXPECT_EQ(config.inquiry, kAnswer);
  EXPECT_STREQ(config.missing_entry, "");
  EXPECT_STREQ(config.image, "");
  Set("CARDSIM_ADAPTERS", "");
  CardSimConfigFromEnvironment(&config);
  EXPECT_EQ(config.adapter_count, 0);
}

// Requests sent to the emulator directly, as a program would send them to the DLL.
class CardSim : public ::testing::Test {
 protected:
  TempCard card{256};
  CardSimConfig config;

  void SetUp() override {
    CardSimDefaults(&config);
    std::snprintf(config.image, sizeof config.image, "%s", card.image.c_str());
    std::snprintf(config.volume_dir, sizeof config.volume_dir, "%s", card.volume.c_str());
  }
  void TearDown() override { CardSimStop(); }

  void Start() { ASSERT_EQ(CardSimStart(config), 0); }

  // Sends a SCSI command with an event and waits for it: the status.
  uint8_t Exec(SRB_ExecSCSICmd* srb) {
    Event* done = EventCreate(false, false);
    srb->SRB_Flags |= SRB_EVENT_NOTIFY;
    srb->SRB_PostProc = EventNativeHandle(done);
    uint32_t sent = CardSimSendCommand(srb);
    if (sent == SS_PENDING) {
      EXPECT_EQ(EventWait(done, 5000), 1);
    }
    EventDestroy(done);
    return srb->SRB_Status;
  }

  static SRB_ExecSCSICmd Command(uint8_t opcode, uint32_t lba, uint16_t count, uint8_t* buffer,
                                 uint32_t length) {
    SRB_ExecSCSICmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_Flags = opcode == SCSI_WRITE10 ? SRB_DIR_OUT : SRB_DIR_IN;
    srb.SRB_BufPointer = buffer;
    srb.SRB_BufLen = length;
    srb.SRB_SenseLen = SENSE_LEN;
    srb.SRB_CDBLen = 10;
    srb.CDBByte[0] = opcode;
    srb.CDBByte[2] = static_cast<uint8_t>(lba >> 24);
    srb.CDBByte[3] = static_cast<uint8_t>(lba >> 16);
    srb.CDBByte[4] = static_cast<uint8_t>(lba >> 8);
    srb.CDBByte[5] = static_cast<uint8_t>(lba);
    srb.CDBByte[7] = static_cast<uint8_t>(count >> 8);
    srb.CDBByte[8] = static_cast<uint8_t>(count);
    return srb;
  }
};

TEST_F(CardSim, MalformedAndMisdirectedRequestsAreRefused) {
  Start();
  uint8_t buffer[1024];
  SRB_ExecSCSICmd srb = Command(SCSI_READ10, 0, 1, buffer, sizeof buffer);
  srb.SRB_Target = 1;
  EXPECT_EQ(CardSimSendCommand(&srb), SS_NO_DEVICE);
  srb = Command(SCSI_READ10, 0, 1, buffer, sizeof buffer);
  srb.SRB_Flags |= SRB_POSTING;
  EXPECT_EQ(CardSimSendCommand(&srb), SS_INVALID_SRB);
  srb = Command(SCSI_READ10, 0, 1, buffer, sizeof buffer);
  srb.SRB_CDBLen = 17;
  EXPECT_EQ(CardSimSendCommand(&srb), SS_INVALID_SRB);
  SRB_Header unknown = {0x42, 0, 0, 0};
  EXPECT_EQ(CardSimSendCommand(&unknown), SS_INVALID_CMD);
  EXPECT_EQ(CardSimSendCommand(nullptr), SS_INVALID_SRB);

  // Errors of the device: CHECK CONDITION with sense key and code.
  struct Case {
    const char* what;
    SRB_ExecSCSICmd srb;
    uint8_t key, asc;
  } cases[] = {
      {"unknown opcode", Command(0xA8, 0, 1, buffer, 512), 0x05, 0x20},
      {"CDB too short", Command(SCSI_READ10, 0, 1, buffer, 512), 0x05, 0x24},
      {"past the end", Command(SCSI_READ10, 255, 2, buffer, 1024), 0x05, 0x21},
      {"lba wraps", Command(SCSI_READ10, 0xFFFFFFFFu, 2, buffer, 1024), 0x05, 0x21},
  };
  cases[1].srb.SRB_CDBLen = 6;
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Exec(&c.srb), SS_ERR);
    EXPECT_EQ(c.srb.SRB_TargStat, STATUS_CHKCOND);
    EXPECT_EQ(c.srb.SenseArea[0] & 0x7F, 0x70);
    EXPECT_EQ(c.srb.SenseArea[2], c.key);
    EXPECT_EQ(c.srb.SenseArea[12], c.asc);
  }
}

// A buffer shorter than the transfer is never read or written past its end.
TEST_F(CardSim, ShortBuffersStopTheTransfer) {
  card.Write(0, Pattern(0, 4, 1));
  Start();
  std::vector<uint8_t> buffer(4 * 512, 0xEE);
  SRB_ExecSCSICmd srb = Command(SCSI_READ10, 0, 4, buffer.data(), 3 * 512);
  EXPECT_EQ(Exec(&srb), SS_ERR);
  EXPECT_EQ(srb.SRB_HaStat, HASTAT_DO_DU);
  EXPECT_EQ(buffer, std::vector<uint8_t>(4 * 512, 0xEE));
  srb = Command(SCSI_WRITE10, 0, 4, nullptr, 4 * 512);
  EXPECT_EQ(Exec(&srb), SS_ERR);
  srb = Command(SCSI_READ_CAPACITY, 0, 0, buffer.data(), 7);
  EXPECT_EQ(Exec(&srb), SS_ERR);
  EXPECT_EQ(card.Read(0, 4), Pattern(0, 4, 1));
  // INQUIRY gives no more than the allocation length and the buffer allow.
  uint8_t inquiry[40];
  std::memset(inquiry, 0xEE, sizeof inquiry);
  srb = Command(SCSI_INQUIRY, 0, 0, inquiry, 12);
  srb.SRB_CDBLen = 6;
  srb.CDBByte[2] = srb.CDBByte[3] = srb.CDBByte[5] = 0;
  srb.CDBByte[4] = 36;
  EXPECT_EQ(Exec(&srb), SS_COMP);
  EXPECT_EQ(std::memcmp(inquiry + 8, "MOVA", 4), 0);
  EXPECT_EQ(inquiry[12], 0xEE);
}

TEST_F(CardSim, StopEndsHeldRequestsAsAborted) {
  ASSERT_TRUE(ParseSectorList("all", &config.read_hang));
  Start();
  uint8_t buffer[512];
  Event* done = EventCreate(false, false);
  SRB_ExecSCSICmd srb = Command(SCSI_READ10, 0, 1, buffer, sizeof buffer);
  srb.SRB_Flags |= SRB_EVENT_NOTIFY;
  srb.SRB_PostProc = EventNativeHandle(done);
  EXPECT_EQ(CardSimSendCommand(&srb), SS_PENDING);
  EXPECT_EQ(EventWait(done, 20), 0);
  EXPECT_EQ(CardSimHeldRequests(), 1);
  CardSimStop();
  EXPECT_EQ(EventWait(done, 0), 1);
  EXPECT_EQ(srb.SRB_Status, SS_ABORTED);
  EventDestroy(done);
}

// Builds a master boot record with one partition entry of `type` at `start`, and its boot sector
// with `serial` at the place the type calls for.
static std::vector<uint8_t> Mbr(uint8_t type, uint32_t start) {
  std::vector<uint8_t> sector(512, 0);
  uint8_t* entry = sector.data() + 446;
  entry[0] = 0x80;
  entry[4] = type;
  std::memcpy(entry + 8, &start, 4);  // little-endian host
  sector[510] = 0x55;
  sector[511] = 0xAA;
  return sector;
}

static std::vector<uint8_t> BootSector(uint32_t offset, uint32_t serial) {
  std::vector<uint8_t> sector(512, 0);
  std::memcpy(sector.data() + offset, &serial, 4);
  sector[510] = 0x55;
  sector[511] = 0xAA;
  return sector;
}

TEST_F(CardSim, VolumeSerialFollowsTheBootSectorTheTablePointsTo) {
  Start();
  EXPECT_EQ(card.Serial(), "");  // a blank card has no volume
  auto write = [this](uint32_t lba, std::vector<uint8_t> data) {
    SRB_ExecSCSICmd srb = Command(SCSI_WRITE10, lba, static_cast<uint16_t>(data.size() / 512),
                                  data.data(), static_cast<uint32_t>(data.size()));
    ASSERT_EQ(Exec(&srb), SS_COMP);
  };
  write(63, BootSector(39, 0x00000001));  // the boot sector comes first, the table last
  EXPECT_EQ(card.Serial(), "");
  write(0, Mbr(0x06, 63));
  EXPECT_EQ(card.Serial(), "00000001\n");
  write(63, BootSector(39, 0x1234ABCD));  // the final serial
  EXPECT_EQ(card.Serial(), "1234abcd\n");
  write(64, BootSector(39, 0x55555555));  // not the boot sector
  EXPECT_EQ(card.Serial(), "1234abcd\n");
  // Reformatted as FAT32 elsewhere: the serial sits at 67.
  write(32, BootSector(67, 0xCAFEF00D));
  write(0, Mbr(0x0B, 32));
  EXPECT_EQ(card.Serial(), "cafef00d\n");
  // A table without signature or without a FAT entry mounts nothing; the file stays.
  std::vector<uint8_t> broken = Mbr(0x06, 63);
  broken[511] = 0;
  write(0, broken);
  write(0, Mbr(0x83, 63));
  write(63, BootSector(39, 0x77777777));
  EXPECT_EQ(card.Serial(), "cafef00d\n");
  // An entry pointing past the end of the card.
  write(0, Mbr(0x0C, 0xFFFFFFF0u));
  EXPECT_EQ(card.Serial(), "cafef00d\n");
}

TEST_F(CardSim, VolumeSerialOfTheCardAsInserted) {
  card.Write(0, Mbr(0x0E, 100));
  card.Write(100, BootSector(39, 0x0BADF00D));
  Start();
  EXPECT_EQ(card.Serial(), "0badf00d\n");
}
