// The adapter and target commands through their own handlers, as script lines run them: the
// switches refuse values other than 0 and 1 and keep their old value, an NT system is refused
// and the program closes, InitAdapter finds the card behind the card emulator under the
// adapter's default name, a host adapter name must fit its 32-byte field, and an empty card is
// gone on with without asking.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "aspi/aspi.h"
#include "cardsim/attach_native.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_reset.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/system_area.h"
#include "interp/commands.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "interp/var_table.h"
#include "platform/files.h"
#include "platform/files_native.h"
#include "platform/os_native.h"
#include "services/services_commands.h"
#include "services/services_reset.h"
#include "tests/aspi/temp_card.h"
#include "tests/interp/harness.h"
#include "wizard/adapter_commands.h"
#include "wizard/start_dialog.h"
#include "wizard/wizard_commands.h"

namespace {

const char kSysTray[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\SysTray";

class AdapterCommands : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetTargetIdentity();
    ResetEngine();
    ResetServices();
    ResetWizard();
    for (const CommandEntry* table : {kInterpCommands, kServicesCommands, kWizardCommands})
      CommandTableAddAll(table);
    NativeDrivesClear();
    NativeRegistryClear();
    NativeRegistryAddKey(kSysTray);
    HostAdapterName[0] = '\0';
    AdapterNumber = -1;
    UseNewVolSerial = 0;
    ChkDataArea = 1;
    KillCardSrvDlg = 0;
  }
  void TearDown() override {
    AspiUnload();
    CardSimStop();
    NativeDrivesClear();
    NativeRegistryClear();
    HostAdapterName[0] = '\0';
    UseNewVolSerial = 0;
    ChkDataArea = 1;
    KillCardSrvDlg = 0;
    Fat32Enabled = 0;
    InterpTest::TearDown();
  }

  // Runs these lines as section START until the program closes or nothing is pending.
  void Run(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "[START]");
    ClearSectionTable();
    ASSERT_EQ(Load(lines), 0);
    ChooseSection("START");
    PumpAndTick();
  }
  // The card emulator over `card` with these adapter names; the card behind `card_adapter`.
  void Attach(const TempCard& card, const std::vector<std::string>& adapters,
              int32_t card_adapter) {
    CardSimConfig config;
    CardSimDefaults(&config);
    std::snprintf(config.image, sizeof config.image, "%s", card.image.c_str());
    config.adapter_count = static_cast<int32_t>(adapters.size());
    for (size_t i = 0; i < adapters.size(); ++i)
      std::snprintf(config.adapters[i], sizeof config.adapters[i], "%s", adapters[i].c_str());
    config.card_adapter = card_adapter;
    ASSERT_EQ(CardSimAttach(config), 0);
  }
  static int32_t Int(const char* name) {
    VarRecord* var = VarFind(name);
    return var != nullptr && var->kind == kVarInteger ? var->integer_value : -12345;
  }
};

TEST_F(AdapterCommands, SwitchesTakeOnlyZeroAndOne) {
  Run({"SetNewVolSerial,1", "SetChkDataArea,0", "SetKillCardSrvDlg,1"});
  EXPECT_EQ(UseNewVolSerial, 1);
  EXPECT_EQ(ChkDataArea, 0);
  EXPECT_EQ(KillCardSrvDlg, 1);
  EXPECT_EQ(NativeRegistryDword(kSysTray, "PCMCIAFlags"), 1);
  EXPECT_TRUE(boxes.empty());

  struct Refused {
    const char* line;
    const char* message;
  } refused[] = {
      {"SetNewVolSerial,2", "FuncSetNewVolSerial の引数が間違っています(2)"},
      {"SetChkDataArea,2", "FuncSetChkDataArea の引数が間違っています(2)"},
      {"SetKillCardSrvDlg,2", "FuncSetKillCardSrvDlg の引数が間違っています(2)"},
  };
  for (const Refused& r : refused) {
    boxes.clear();
    Run({r.line, "SetNewVolSerial,0"});  // a refusal ends the script before this line
    ASSERT_EQ(boxes.size(), 1u) << r.line;
    EXPECT_EQ(boxes[0].rfind(ScriptErrorBox(r.message), 0), 0u) << boxes[0];
    EXPECT_EQ(UseNewVolSerial, 1) << r.line;
    EXPECT_EQ(ChkDataArea, 0) << r.line;
    EXPECT_EQ(KillCardSrvDlg, 1) << r.line;
    EXPECT_EQ(NativeRegistryDword(kSysTray, "PCMCIAFlags"), 1) << r.line;
  }
}

TEST_F(AdapterCommands, WindowsNtIsRefusedAndTheProgramCloses) {
  NativeSetSystemVersion({2, 4, 0, 1381});
  Fat32Enabled = 0;
  Run({"GetOsVersion", "IValSet,AFTER,1"});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Kelvado Error: WindowsNTシステムには対応しておりません");
  EXPECT_TRUE(close_posted);
  EXPECT_EQ(Int("AFTER"), 1) << "the lines after it in the section still run";
  EXPECT_EQ(Fat32Enabled, 0);

  // Windows 98 passes without a word.
  NativeSetSystemVersion({1, 4, 10, 0x040A07CE});
  boxes.clear();
  close_posted = false;
  Run({"GetOsVersion"});
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(close_posted);
  EXPECT_EQ(Fat32Enabled, 1);
}

// Without SetHostAdapter the adapter sought is "njata95". A name of 31 bytes fits HostAdapterName;
// one of 32 does not and is refused (cut, it could match an adapter it does not name).
TEST_F(AdapterCommands, InitAdapterFindsTheAdapterByName) {
  TempCard card(8 * 2048);
  const std::string long_name(31, 'h');
  Attach(card, {"other", "njata95"}, 1);
  Run({"InitAdapter,RESULT"});
  EXPECT_STREQ(HostAdapterName, "njata95");
  EXPECT_EQ(Int("RESULT"), 1);
  EXPECT_EQ(AdapterNumber, 1);
  EXPECT_TRUE(boxes.empty());

  // An adapter called otherwise is not taken for the card's.
  AspiUnload();
  Attach(card, {"other", "aha2940"}, 1);
  HostAdapterName[0] = '\0';
  Run({"InitAdapter,RESULT"});
  EXPECT_EQ(Int("RESULT"), -1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Kelvado Error: Movanta ATAｶｰﾄﾞが挿入されていません");

  // Exactly 31 bytes are kept whole; 32 are refused and change nothing.
  boxes.clear();
  Run({"SetHostAdapter,\"" + long_name + "\""});
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(std::string(HostAdapterName), long_name);
  Run({"SetHostAdapter,\"" + long_name + "x\""});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind(ScriptErrorBox("FuncSetHostAdapter の引数が間違っています(\"" +
                                          long_name + "x\")"),
                           0),
            0u)
      << boxes[0];
  EXPECT_EQ(std::string(HostAdapterName), long_name);
}

// An empty card, blank or freshly formatted, is gone on with: the result is 1 and nothing is
// asked. A card that holds files is asked about.
TEST_F(AdapterCommands, EmptyTargetIsGoneOnWithWithoutAsking) {
  TempCard card(16 * 2048);
  Attach(card, {"njata95"}, 0);
  Run({"InitAdapter,RESULT"});
  ASSERT_EQ(Int("RESULT"), 1);
  ASSERT_EQ(CalcGeometry(), 0);
  ASSERT_EQ(ReadPartitionTables(AdapterNumber), 0);
  EXPECT_EQ(TargetHasFiles(AdapterNumber), 1) << "a blank card holds nothing";
  Run({"IValSet,EXIST,7", "TgetDrvFileExist,EXIST"});
  EXPECT_EQ(Int("EXIST"), 1);
  EXPECT_TRUE(boxes.empty());

  ChkDataArea = 0;
  BuildPartitionEntry();
  ASSERT_EQ(MakePartition(AdapterNumber), 0);
  ASSERT_EQ(ReadPartitionTables(AdapterNumber), 0);
  EXPECT_EQ(TargetHasFiles(AdapterNumber), 1) << "a formatted card without files";
  Run({"IValSet,EXIST,7", "TgetDrvFileExist,EXIST"});
  EXPECT_EQ(Int("EXIST"), 1);
  EXPECT_TRUE(boxes.empty());

  // A file in the root directory: asked, and OK goes on.
  std::vector<uint8_t> mbr = card.Read(0, 1);
  uint32_t start = mbr[454] | mbr[455] << 8 | mbr[456] << 16 | uint32_t{mbr[457]} << 24;
  std::vector<uint8_t> boot = card.Read(start, 1);
  uint32_t reserved = boot[14] | boot[15] << 8;
  uint32_t fat_sectors = boot[22] | boot[23] << 8;
  uint32_t root = start + reserved + boot[16] * fat_sectors;
  std::vector<uint8_t> entry(512, 0);
  std::memcpy(entry.data(), "FILE    TXT", 11);
  entry[11] = 0x20;
  card.Write(root, entry);
  ASSERT_EQ(ReadPartitionTables(AdapterNumber), 0);
  Run({"IValSet,EXIST,7", "TgetDrvFileExist,EXIST"});
  EXPECT_EQ(Int("EXIST"), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Kelvado Info: 転送先ドライブにファイルシステムが存在します。\n"
                      "システム転送を継続して宜しいでしょうか");
}

}  // namespace
