// The whole transfer and its failure paths, natively: the built-in script from START to its end
// with a person at the dialogs, the real engine on a card image behind the card emulator, the
// real workers, and the card judged afterwards by tools nobody here wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "cardsim/cardsim.h"
#include "engine/engine_hooks.h"
#include "engine/fat_area.h"
#include "system/drives.h"
#include "system/drives_native.h"
#include "system/message_box.h"
#include "system/message_box_native.h"
#include "tests/wizard/wizard_run.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"
#include "wizard/workers.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kWholeWay = {
    "DLG_OPENING_1",     "DLG_CHK_TARGET_DRIVE", "DLG_MAKE_PARTITION_TGETDRV",
    "DLG_CARD_INIT",     "DLG_START_KELVADO",    "DLG_TRUE_END_PROGRAM"};

// Every byte and name under a folder, folded into one number.
uint64_t TreeDigest(const std::string& root) {
  uint64_t digest = 1469598103934665603ull;
  auto mix = [&digest](const std::string& bytes) {
    for (unsigned char c : bytes) digest = (digest ^ c) * 1099511628211ull;
  };
  std::vector<fs::path> paths;
  for (const auto& entry : fs::recursive_directory_iterator(root)) paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end());
  for (const fs::path& path : paths) {
    mix(path.string());
    if (!fs::is_regular_file(path)) continue;
    std::ifstream in(path, std::ios::binary);
    mix(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  return digest;
}

bool HasBox(const WizardRun& run, const std::string& start) {
  for (const std::string& box : run.boxes)
    if (box.compare(0, start.size(), start) == 0) return true;
  return false;
}

std::string Info(const char* text) { return std::string(kInfoCaption) + ": " + text; }

void Reattach(WizardRun& run, const char* write_fail) {
  CardSimConfig config;
  CardSimDefaults(&config);
  std::snprintf(config.image, sizeof config.image, "%s", run.card.image.c_str());
  std::snprintf(config.volume_dir, sizeof config.volume_dir, "%s", run.card.volume.c_str());
  ASSERT_TRUE(ParseSectorList(write_fail, &config.write_fail));
  ASSERT_EQ(CardSimAttach(config), 0);
}

}  // namespace

// The way a person goes when all is well, with three detours: 次へ>> before the card is back,
// an interrupt during the FAT32 format answered Yes and a second 開　始, and a file of C: that
// the system holds open. Then the same card again: the question about its files, answered
// Cancel (the program ends), then OK (the transfer goes on).
TEST(Transfer, WholeWayWithDetoursThenTheCardHoldsFiles) {
  std::string image_after;
  {
    WizardRun run(512);  // FAT32, and a format long enough to interrupt
    NativeHoldFile("C:\\WINDOWS\\SYSTEM\\USER.DAT");
    uint64_t before = TreeDigest(run.source);

    int positions_while_asked = -1;
    run.answer = [&](const std::string& caption, const std::string& text) {
      if (text == kPartitionQuestion) {
        int seen = run.worker_positions;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        positions_while_asked = run.worker_positions - seen;  // the worker is held meanwhile
        return kIdYes;
      }
      (void)caption;
      return kIdOk;
    };
    run.act[3] = [&](NativeDialog* dialog) {
      run.Press(dialog, kIdStart);
      EXPECT_FALSE(NativeDialogEnabled(dialog, kIdStart));
      EXPECT_FALSE(NativeDialogEnabled(dialog, kIdCancelButton));
      run.Press(dialog, kIdCancelButton);  // Esc or the close box: not while the worker runs
      int32_t ended;
      EXPECT_FALSE(NativeDialogEnded(dialog, &ended));
      run.HandleUntil(dialog, [&] {
        std::string status = run.Text(dialog, kIdStatusText);
        return status == kStatusFatCheck || status == kStatusFatInit;
      });
      run.Press(dialog, kIdInterrupt);
      run.HandleUntil(dialog, [] { return !WorkerRunning(); });
      int32_t result;
      EXPECT_FALSE(NativeDialogEnded(dialog, &result)) << "an interrupt keeps the dialog open";
      EXPECT_TRUE(NativeDialogEnabled(dialog, kIdStart));
      EXPECT_FALSE(NativeDialogEnabled(dialog, kIdInterrupt));
      run.Press(dialog, kIdStart);  // a fresh worker formats the card to its end
    };
    run.act[4] = [&](NativeDialog* dialog) {
      run.Press(dialog, kIdNext);  // the card is not back yet
      int32_t result;
      EXPECT_FALSE(NativeDialogEnded(dialog, &result));
      run.PresentCard();
      run.Press(dialog, kIdNext);
    };
    run.Run();

    EXPECT_EQ(run.dialogs, kWholeWay);
    EXPECT_EQ(positions_while_asked, 0);
    EXPECT_TRUE(HasBox(run, Info(kCardNotFoundText)));
    EXPECT_TRUE(HasBox(run, std::string(kInfoCaption) + ": " + "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)のﾌｧｲﾙのうち 1 個"));
    EXPECT_GT(run.worker_positions, 0);
    EXPECT_GT(run.worker_texts, 0);  // the copy showed its file names
    EXPECT_TRUE(run.closed);
    uint32_t serial = CardSerial(run.card);
    EXPECT_NE(serial, 0u);
    EXPECT_NE(serial, 1u);
    EXPECT_EQ(TreeDigest(run.source), before) << "C: was written";

    std::string verdict;
    EXPECT_TRUE(CardVerdict(run, {"WINDOWS/SYSTEM/USER.DAT"}, &verdict)) << verdict;
    image_after = run.card.folder + "-after.img";
    fs::copy_file(run.card.image, image_after, fs::copy_options::overwrite_existing);
  }
  for (int32_t answer : {kIdCancel, kIdOk}) {
    WizardRun run(512);
    fs::copy_file(image_after, run.card.image, fs::copy_options::overwrite_existing);
    run.answer = [answer](const std::string&, const std::string& text) {
      return text.find("ファイルシステムが存在します") != std::string::npos ? answer : kIdOk;
    };
    run.act[3] = [&](NativeDialog* dialog) { run.Press(dialog, kIdCancelButton); };
    run.Run();
    EXPECT_TRUE(HasBox(run, std::string(kInfoCaption) + ": 転送先ドライブにファイルシステムが"));
    if (answer == kIdCancel)
      EXPECT_EQ(run.dialogs, std::vector<std::string>(kWholeWay.begin(), kWholeWay.begin() + 2));
    else
      EXPECT_EQ(run.dialogs, (std::vector<std::string>{kWholeWay[0], kWholeWay[1], kWholeWay[2],
                                                       "DLG_FALSE_END_PROGRAM"}));
    EXPECT_TRUE(run.closed);
  }
  fs::remove(image_after);
}

// Failures on the way end in the false end dialog, and the card never keeps the marker serial.
TEST(Transfer, FailuresEndFalse) {
  const std::vector<std::string> to_partition = {kWholeWay[0], kWholeWay[1], kWholeWay[2],
                                                 "DLG_FALSE_END_PROGRAM"};
  const std::vector<std::string> to_copy = {kWholeWay[0], kWholeWay[1], kWholeWay[2],
                                            kWholeWay[3], kWholeWay[4], "DLG_FALSE_END_PROGRAM"};
  {
    SCOPED_TRACE("a write fault in the FAT area");
    WizardRun run(128);
    Reattach(run, "300");
    run.Run();
    EXPECT_EQ(run.dialogs, to_partition);
    EXPECT_TRUE(HasBox(run, "Kelvado Error: ＦＡＴ領域の書き込みができません"));
    EXPECT_NE(CardSerial(run.card), 1u);
    EXPECT_NE(run.card.Serial(), "00000001\n");
  }
  {
    SCOPED_TRACE("a card too small for C:");
    WizardRun run(128);
    NativeDrive c{};
    c.letter = 'C';
    c.folder = run.source.c_str();
    c.type = kDriveFixed;
    c.serial = 0x3C1A2B4Du;
    c.label = "WIN98";
    c.file_system = "FAT32";
    c.sectors_per_cluster = 8;
    c.bytes_per_sector = 512;
    c.total_clusters = 250000;
    c.free_clusters = 250000 - 40000;  // 160 MB used
    NativeDriveAdd(c);
    run.Run();
    EXPECT_EQ(run.dialogs, to_copy);
    EXPECT_TRUE(HasBox(run, "Kelvado Error: 転送先ドライブ容量が足りません"));
    uint32_t serial = CardSerial(run.card);
    EXPECT_NE(serial, 1u);
    EXPECT_NE(serial, 0u);
  }
  {
    SCOPED_TRACE("中　断 before コピー開始, answered Yes");
    WizardRun run(128);
    run.act[5] = [&](NativeDialog* dialog) { run.Press(dialog, kIdInterrupt); };
    run.Run();
    EXPECT_EQ(run.dialogs, to_copy);
    EXPECT_TRUE(HasBox(run, Info(kCopyQuestion)));
    EXPECT_NE(CardSerial(run.card), 1u);
  }
  {
    SCOPED_TRACE("中　断 during the copy, answered Yes");
    WizardRun run(128);
    run.act[5] = [&](NativeDialog* dialog) {
      run.Press(dialog, kIdStart);
      run.HandleUntil(dialog, [&] { return run.worker_texts > 2; });
      run.Press(dialog, kIdInterrupt);
    };
    run.Run();
    EXPECT_EQ(run.dialogs, to_copy);
    EXPECT_TRUE(HasBox(run, Info(kCopyQuestion)));
    EXPECT_FALSE(HasBox(run, "Kelvado Error"));  // an interruption is never shown as an error
    uint32_t serial = CardSerial(run.card);
    EXPECT_NE(serial, 1u);
    EXPECT_NE(serial, 0u);
  }
}

// While the interrupt question is open, a worker busy allocating memory is held at its next poll,
// never inside the allocator: the question can be answered, and Yes stops the worker.
TEST(Transfer, QuestionWhileTheWorkerAllocates) {
  WizardRun run(8);
  static std::atomic<long> rounds{0};
  rounds = 0;
  NativeDialog* dialog = NativeDialogCreate(5);
  ASSERT_EQ(StartWorker(
                [](void* to) -> uint32_t {
                  while (!AbortRequested()) {
                    std::vector<std::string> garbage(64, std::string(100, 'x'));
                    ++rounds;
                  }
                  NotifyWorkerDone(to, -9);
                  return 1;
                },
                dialog),
            0);
  while (rounds < 1000) std::this_thread::yield();
  long moved = -1;
  run.answer = [&](const std::string&, const std::string&) {
    std::vector<std::string> the_box_allocates(1000, std::string(200, 'y'));
    long seen = rounds;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    moved = rounds - seen;
    return kIdYes;
  };
  AskInterrupt(dialog, kCopyQuestion);
  run.HandleUntil(dialog, [] { return false; });
  int32_t result;
  EXPECT_TRUE(NativeDialogEnded(dialog, &result));
  EXPECT_EQ(result, kDialogCancel);
  EXPECT_LE(moved, 1);  // at most the round that was under way
  ReleaseWorker();
  NativeDialogDestroy(dialog);
}
