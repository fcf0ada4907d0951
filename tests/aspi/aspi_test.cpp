// The device layer against the card emulator linked in: loading, the choice of the host adapter,
// the device's name and size, sector transfers, and requests that do not finish.
#include "aspi/aspi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "aspi/aspi_driver_native.h"
#include "cardsim/attach_native.h"
#include "platform/threads.h"
#include "platform/window_native.h"
#include "tests/aspi/temp_card.h"

struct ShownBox {
  bool owned;
  std::string text, caption;
  uint32_t style;
};
static std::vector<ShownBox> Boxes;

static int32_t RecordBox(bool owned, const char* text, const char* caption, uint32_t style) {
  Boxes.push_back({owned, text, caption, style});
  return kIdOk;
}

class Aspi : public ::testing::Test {
 protected:
  TempCard card{2048};
  CardSimConfig config;

  void SetUp() override {
    CardSimDefaults(&config);
    std::snprintf(config.image, sizeof config.image, "%s", card.image.c_str());
    ResetTargetIdentity();
    std::strcpy(HostAdapterName, "njata95");
    Boxes.clear();
    MessageBoxHandler = RecordBox;
  }

  void TearDown() override {
    AspiUnload();
    CardSimStop();
    AspiUnload();  // releases requests the stopped emulator finished as aborted
    AspiLinkDriver(nullptr, nullptr);
    AspiWaitMs = 10000;
    MessageBoxHandler = nullptr;
  }

  // Attaches the emulator as configured and loads it: AspiLoad's result.
  int32_t Load() {
    EXPECT_EQ(CardSimAttach(config), 0);
    return AspiLoad();
  }

  void SetAdapters(std::vector<const char*> names) {
    config.adapter_count = static_cast<int32_t>(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      std::snprintf(config.adapters[i], sizeof config.adapters[i], "%s", names[i]);
  }

  void LoadAndFind() {
    ASSERT_EQ(Load(), 0);
    ASSERT_EQ(FindHostAdapter(), 1);
  }
};

// Every failed load leaves the library unloaded: count -1 and no requests go out.
TEST_F(Aspi, LoadFailuresReportTheirCodeAndLeaveNothingLoaded) {
  struct Case {
    const char* what;
    void (*set)(CardSimConfig*);
    int32_t code;
  } cases[] = {
      {"library missing", [](CardSimConfig* c) { c->load_fails = true; }, 504},
      {"no GetASPI32SupportInfo",
       [](CardSimConfig* c) { std::strcpy(c->missing_entry, "GetASPI32SupportInfo"); }, 501},
      {"no SendASPI32Command",
       [](CardSimConfig* c) { std::strcpy(c->missing_entry, "SendASPI32Command"); }, 501},
      {"support info raises", [](CardSimConfig* c) { c->support_raises = true; }, 503},
      {"no adapters status", [](CardSimConfig* c) { c->support_status = SS_NO_ADAPTERS; }, 502},
      {"pending status", [](CardSimConfig* c) { c->support_status = SS_PENDING; }, 502},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CardSimDefaults(&config);
    c.set(&config);
    EXPECT_EQ(Load(), c.code);
    EXPECT_EQ(HostAdapterCount, -1);
    EXPECT_EQ(DriverSendCommandEntry, nullptr);
    EXPECT_EQ(HaInquiry(0, "njata95"), -1);
    EXPECT_EQ(FindHostAdapter(), 0);
  }
}

TEST_F(Aspi, LoadReadsTheAdapterCountAndUnloadForgetsIt) {
  SetAdapters({"scsi0", "njata95", "scsi2"});
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(HostAdapterCount, 3);
  ASSERT_EQ(AspiLoad(), 0);  // loading again keeps one load
  EXPECT_EQ(HostAdapterCount, 3);
  AspiUnload();
  EXPECT_EQ(HostAdapterCount, -1);
  EXPECT_EQ(FindHostAdapter(), 0);
  EXPECT_EQ(AdapterNumber, -1);
}

TEST_F(Aspi, FindHostAdapterMatchesTheWholeIdentifierExactly) {
  struct Case {
    std::vector<const char*> adapters;
    const char* wanted;
    int32_t found;
    int32_t number;
  } cases[] = {
      {{}, "njata95", 0, -1},                     // no adapters at all
      {{"njata95", "njata95"}, "njata95", 1, 0},  // the lower number wins
      {{"aha2940", "njata95", "njata95"}, "njata95", 1, 1},
      {{"NJATA95"}, "njata95", 0, -1},  // letter case counts
      {{"njata95x"}, "njata95", 0, -1},
      {{"njata9"}, "njata95", 0, -1},
      {{"ABCDEFGHIJKLMNOP"}, "ABCDEFGHIJKLMNOP", 1, 0},  // fills the 16-byte field
      {{"ABCDEFGHIJKLMNOP"}, "ABCDEFGHIJKLMNOPQ", 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wanted);
    AspiUnload();
    SetAdapters(c.adapters);
    ASSERT_EQ(Load(), 0);
    std::strcpy(HostAdapterName, c.wanted);
    AdapterNumber = 5;
    EXPECT_EQ(FindHostAdapter(), c.found);
    EXPECT_EQ(AdapterNumber, c.number);
  }
}

TEST_F(Aspi, AdapterWithoutManagerTextDoesNotMatch) {
  config.manager[0] = '\0';
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(HaInquiry(0, "njata95"), -1);
  EXPECT_EQ(HaInquiry(3, "njata95"), -1);  // no such adapter
}

TEST_F(Aspi, DevInquiryGivesVendorAndProduct) {
  LoadAndFind();
  char name[32] = "old";
  EXPECT_EQ(DevInquiry(AdapterNumber, 0, 0, name, sizeof name), 0);
  EXPECT_STREQ(name, "MOVANTA ATA CARD        ");
  char small[8];
  EXPECT_EQ(DevInquiry(AdapterNumber, 0, 0, small, sizeof small), 0);
  EXPECT_STREQ(small, "MOVANTA");
  // No device at target 1: the request finishes in error, the name is empty.
  std::strcpy(name, "old");
  EXPECT_EQ(DevInquiry(AdapterNumber, 1, 0, name, sizeof name), 0);
  EXPECT_STREQ(name, "");
}

TEST_F(Aspi, InquiryEndingInErrorStillSucceedsWithAnEmptyName) {
  config.inquiry = kFail;
  LoadAndFind();
  char name[32] = "old";
  EXPECT_EQ(DevInquiry(AdapterNumber, 0, 0, name, sizeof name), 0);
  EXPECT_STREQ(name, "");
}

TEST_F(Aspi, InquiryThatNeverFinishesIsATimeOut) {
  config.inquiry = kHang;
  LoadAndFind();
  AspiWaitMs = 50;
  char name[32] = "old";
  EXPECT_EQ(DevInquiry(AdapterNumber, 0, 0, name, sizeof name), kAspiCommandTimeout);
  EXPECT_STREQ(name, "old");
  EXPECT_TRUE(Boxes.empty());  // the abort succeeded
  EXPECT_EQ(AspiHeldRequests(), 0);
  EXPECT_EQ(CardSimHeldRequests(), 0);
}

TEST_F(Aspi, ReadCapacityTakesTheLastSectorNumber) {
  TempCard big(4194304);  // READ CAPACITY answers 00 3F FF FF
  std::snprintf(config.image, sizeof config.image, "%s", big.image.c_str());
  LoadAndFind();
  EXPECT_EQ(ReadCapacity(AdapterNumber, 0), 0);
  EXPECT_EQ(TargetCapacity, 4194303u);
}

TEST_F(Aspi, ReadCapacityFailuresAre302AndKeepTheOldCapacity) {
  struct Case {
    const char* what;
    void (*set)(CardSimConfig*);
  } cases[] = {
      {"error status", [](CardSimConfig* c) { c->capacity = kFail; }},
      {"no medium", [](CardSimConfig* c) { c->image[0] = '\0'; }},
      {"time-out", [](CardSimConfig* c) { c->capacity = kHang; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AspiUnload();
    CardSimDefaults(&config);
    std::snprintf(config.image, sizeof config.image, "%s", card.image.c_str());
    c.set(&config);
    LoadAndFind();
    AspiWaitMs = 50;
    TargetCapacity = 777;
    EXPECT_EQ(ReadCapacity(AdapterNumber, 0), kAspiReadCapacityFailed);
    EXPECT_EQ(TargetCapacity, 777u);
  }
}

TEST_F(Aspi, SectorsRoundTripThroughTheImage) {
  LoadAndFind();
  std::vector<uint8_t> data = Pattern(2040, 8, 1);
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 2040, 512, 8, data.data()), 0);  // the last 8
  EXPECT_EQ(card.Read(2040, 8), data);
  std::vector<uint8_t> back(8 * 512);
  EXPECT_EQ(ReadSectors(AdapterNumber, 0, 2040, 512, 8, back.data()), 0);
  EXPECT_EQ(back, data);
  // One sector past the end fails and moves nothing.
  std::vector<uint8_t> untouched(2 * 512, 0xEE);
  EXPECT_EQ(ReadSectors(AdapterNumber, 0, 2047, 512, 2, untouched.data()), -1);
  EXPECT_EQ(untouched, std::vector<uint8_t>(2 * 512, 0xEE));
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 2048, 512, 1, data.data()), -1);
  // The wrong adapter or target is not the card.
  EXPECT_EQ(ReadSectors(AdapterNumber + 1, 0, 0, 512, 1, back.data()), -1);
  EXPECT_EQ(ReadSectors(AdapterNumber, 1, 0, 512, 1, back.data()), -1);
}

TEST_F(Aspi, FaultySectorsFailTheirTransfersOnly) {
  ASSERT_TRUE(ParseSectorList("100-103", &config.read_fail));
  ASSERT_TRUE(ParseSectorList("200", &config.write_fail));
  LoadAndFind();
  std::vector<uint8_t> buffer(16 * 512);
  EXPECT_EQ(ReadSectors(AdapterNumber, 0, 96, 512, 4, buffer.data()), 0);
  EXPECT_EQ(ReadSectors(AdapterNumber, 0, 96, 512, 5, buffer.data()), -1);
  EXPECT_EQ(ReadSectors(AdapterNumber, 0, 103, 512, 1, buffer.data()), -1);
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 100, 512, 4, buffer.data()), 0);  // writes still work
  std::vector<uint8_t> data = Pattern(192, 16, 9);
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 192, 512, 16, data.data()), -1);
  EXPECT_EQ(card.Read(192, 16), std::vector<uint8_t>(16 * 512, 0));  // nothing written
}

TEST_F(Aspi, GetDiskInfoReportsTheDriversGeometry) {
  config.heads = 255;
  config.sectors_per_track = 32;
  LoadAndFind();
  int32_t heads = 0, sectors = 0;
  EXPECT_EQ(GetDiskInfo(AdapterNumber, 0, &heads, &sectors), 0);
  EXPECT_EQ(heads, 255);
  EXPECT_EQ(sectors, 32);
  heads = sectors = -5;
  EXPECT_EQ(GetDiskInfo(AdapterNumber, 1, &heads, &sectors), -1);
  EXPECT_EQ(GetDiskInfo(AdapterNumber + 1, 0, &heads, &sectors), -1);
  EXPECT_EQ(heads, -5);
  EXPECT_EQ(sectors, -5);
}

TEST_F(Aspi, NothingIsSentWhileTheLibraryIsNotLoaded) {
  std::vector<uint8_t> buffer(512, 0xEE);
  char name[32] = "old";
  int32_t heads = 0, sectors = 0;
  EXPECT_EQ(ReadSectors(0, 0, 0, 512, 1, buffer.data()), -1);
  EXPECT_EQ(WriteSectors(0, 0, 0, 512, 1, buffer.data()), -1);
  EXPECT_EQ(DevInquiry(0, 0, 0, name, sizeof name), kAspiCommandTimeout);
  EXPECT_EQ(ReadCapacity(0, 0), kAspiReadCapacityFailed);
  EXPECT_EQ(GetDiskInfo(0, 0, &heads, &sectors), -1);
  EXPECT_EQ(FindHostAdapter(), 0);
}

TEST_F(Aspi, WriteThatTimesOutIsAbortedAndFails) {
  ASSERT_TRUE(ParseSectorList("all", &config.write_hang));
  LoadAndFind();
  AspiWaitMs = 50;
  std::vector<uint8_t> data = Pattern(10, 4, 3);
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 10, 512, 4, data.data()), -1);
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(CardSimHeldRequests(), 0);  // aborted: the emulator let go of it
  EXPECT_EQ(AspiHeldRequests(), 0);
  EXPECT_EQ(card.Read(10, 4), std::vector<uint8_t>(4 * 512, 0));
}

// The driver keeps a timed-out write it could not abort. When it finishes the write later, it
// writes the data as it was handed over, and it never touches the caller's (freed) buffer.
TEST_F(Aspi, WriteWhoseAbortFailsIsHeldUntilTheDriverLetsGo) {
  ASSERT_TRUE(ParseSectorList("10-13", &config.write_hang));
  config.abort_fails = true;
  LoadAndFind();
  AspiWaitMs = 50;
  std::vector<uint8_t> data = Pattern(10, 4, 3);
  uint8_t* buffer = new uint8_t[data.size()];
  std::memcpy(buffer, data.data(), data.size());
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 10, 512, 4, buffer), -1);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_FALSE(Boxes[0].owned);
  EXPECT_EQ(Boxes[0].text, "アボートに失敗しました");
  EXPECT_EQ(Boxes[0].caption, "Kelvado Error");
  EXPECT_EQ(Boxes[0].style, kMbOk);
  EXPECT_EQ(AspiHeldRequests(), 1);
  std::memset(buffer, 0x5A, data.size());
  delete[] buffer;

  CardSimReleaseHeld();
  std::vector<uint8_t> other = Pattern(20, 1, 4);  // a later request releases the finished one
  EXPECT_EQ(WriteSectors(AdapterNumber, 0, 20, 512, 1, other.data()), 0);
  EXPECT_EQ(AspiHeldRequests(), 0);
  EXPECT_EQ(card.Read(10, 4), data);
  EXPECT_EQ(card.Read(20, 1), other);
}

TEST_F(Aspi, ReadWhoseAbortFailsNeverFillsTheCallersBufferLater) {
  card.Write(30, Pattern(30, 2, 8));
  ASSERT_TRUE(ParseSectorList("30", &config.read_hang));
  config.abort_fails = true;
  LoadAndFind();
  AspiWaitMs = 50;
  std::vector<uint8_t> buffer(2 * 512, 0xEE);
  EXPECT_EQ(ReadSectors(AdapterNumber, 0, 30, 512, 2, buffer.data()), -1);
  EXPECT_EQ(AspiHeldRequests(), 1);
  CardSimReleaseHeld();
  for (int i = 0; i < 400 && AspiHeldRequests() > 0; ++i) SleepMs(5);
  EXPECT_EQ(AspiHeldRequests(), 0);  // released once the driver has signalled
  EXPECT_EQ(buffer, std::vector<uint8_t>(2 * 512, 0xEE));
}
