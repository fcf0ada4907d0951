// The whole transfer and its failure paths, natively: the built-in script from START to its end
// with a person at the dialogs, the real engine on a card image behind the card emulator, the
// real workers, and the card judged afterwards by tools nobody here wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "cardsim/attach_native.h"
#include "engine/engine_hooks.h"
#include "engine/system_area.h"
#include "platform/clock_native.h"
#include "platform/files.h"
#include "platform/files_native.h"
#include "platform/window.h"
#include "platform/window_native.h"
#include "services/exit_commands.h"
#include "tests/app/wizard_run.h"
#include "wizard/adapter_commands.h"
#include "wizard/dialog_texts.h"
#include "wizard/dialogs.h"
#include "wizard/workers.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kWholeWay = {
    "DLG_OPENING_1",     "DLG_CHK_TARGET_DRIVE", "DLG_MAKE_PARTITION_TGETDRV",
    "DLG_CARD_INIT",     "DLG_START_KELVADO",    "DLG_TRUE_END_PROGRAM"};

// The folder of the built-in script's LogDir1, c:\data1\log1\, on the drive that is C:.
const char kLogFolder[] = "data1";

// Every byte and name under a folder, folded into one number; the log folder is passed over.
uint64_t TreeDigest(const std::string& root) {
  uint64_t digest = 1469598103934665603ull;
  auto mix = [&digest](const std::string& bytes) {
    for (unsigned char c : bytes) digest = (digest ^ c) * 1099511628211ull;
  };
  std::vector<fs::path> paths;
  for (auto entry = fs::recursive_directory_iterator(root);
       entry != fs::recursive_directory_iterator(); ++entry) {
    if (entry.depth() == 0 && entry->path().filename() == kLogFolder) {
      entry.disable_recursion_pending();
      continue;
    }
    paths.push_back(entry->path());
  }
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

// The files of the log folder on C:, '/' separated from C:'s root, folders included, as the
// card's verdict takes the paths it must not find on the card.
std::vector<std::string> LogFolderPaths(const WizardRun& run) {
  std::vector<std::string> paths;
  fs::path folder = fs::path(run.source) / kLogFolder;
  if (!fs::exists(folder)) return paths;
  paths.push_back(kLogFolder);
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    paths.push_back(fs::relative(entry.path(), run.source).generic_string());
  return paths;
}

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
        // A position the worker sent just before the gate closed may still land; after that
        // the worker is held at its next poll and the bar stands still.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        int seen = run.worker_positions;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        positions_while_asked = run.worker_positions - seen;
        return kIdYes;
      }
      (void)caption;
      return kIdOk;
    };
    run.act[3] = [&](NativeDialog* dialog) {
      run.Press(dialog, IDC_START);
      EXPECT_FALSE(NativeDialogEnabled(dialog, IDC_START));
      EXPECT_FALSE(NativeDialogEnabled(dialog, IDC_CANCEL_BUTTON));
      run.Press(dialog, IDC_CANCEL_BUTTON);  // Esc or the close box: not while the worker runs
      int32_t ended;
      EXPECT_FALSE(NativeDialogEnded(dialog, &ended));
      run.HandleUntil(dialog, [&] {
        std::string status = run.Text(dialog, IDC_STATUS_TEXT);
        return status == kStatusFatCheck || status == kStatusFatInit;
      });
      run.Press(dialog, IDC_INTERRUPT);
      run.HandleUntil(dialog, [] { return !WorkerRunning(); });
      int32_t result;
      EXPECT_FALSE(NativeDialogEnded(dialog, &result)) << "an interrupt keeps the dialog open";
      EXPECT_TRUE(NativeDialogEnabled(dialog, IDC_START));
      EXPECT_FALSE(NativeDialogEnabled(dialog, IDC_INTERRUPT));
      run.Press(dialog, IDC_START);  // a fresh worker formats the card to its end
    };
    run.act[4] = [&](NativeDialog* dialog) {
      run.Press(dialog, IDC_NEXT);  // the card is not back yet
      int32_t result;
      EXPECT_FALSE(NativeDialogEnded(dialog, &result));
      run.PresentCard();
      run.Press(dialog, IDC_NEXT);
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

    std::vector<std::string> left_out = LogFolderPaths(run);
    left_out.push_back("WINDOWS/SYSTEM/USER.DAT");
    std::string verdict;
    EXPECT_TRUE(CardVerdict(run, left_out, &verdict)) << verdict;
    image_after = run.card.folder + "-after.img";
    fs::copy_file(run.card.image, image_after, fs::copy_options::overwrite_existing);
  }
  for (int32_t answer : {kIdCancel, kIdOk}) {
    WizardRun run(512);
    fs::copy_file(image_after, run.card.image, fs::copy_options::overwrite_existing);
    run.answer = [answer](const std::string&, const std::string& text) {
      return text.find("ファイルシステムが存在します") != std::string::npos ? answer : kIdOk;
    };
    run.act[3] = [&](NativeDialog* dialog) { run.Press(dialog, IDC_CANCEL_BUTTON); };
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

// The end of the way, twice. First as the built-in script has it: a file of C: is held open, so
// before the true end a box owned by the copy dialog tells of it and of the log that lists it,
// which lands in the script's own LogDir1 on C:, c:\data1\log1\, made level by level; nothing
// else of C: is written. コピー開始 and 中　断 pressed while that box is open change nothing. The
// card gets a fresh serial, made from the clock, and 後でシャットダウン leaves ShutDownOnExit
// alone. Then with UseNewVolSerial 0: the card gets C:'s serial, and 今すぐシャットダウン sets
// ShutDownOnExit and closes the program.
TEST(Transfer, TheEndOfTheWaySerialLeftOutLogAndShutDown) {
  // 1999-03-07 09:05:42.370 UTC: the serial's bytes are 3 + 42, 37 + 7, 7 + 9 and 0xCF + 5.
  const ClockTime kUtc = {1999, 3, 0, 7, 9, 5, 42, 370};
  const ClockTime kLocal = {1999, 3, 0, 7, 18, 5, 42, 370};
  ClockStop(kLocal, kUtc);
  {
    WizardRun run(128);
    NativeHoldFile("C:\\WINDOWS\\SYSTEM\\USER.DAT");
    uint64_t before = TreeDigest(run.source);
    ASSERT_FALSE(fs::exists(fs::path(run.source) / kLogFolder));
    NativeDialog* copy_dialog = nullptr;
    bool told = false;
    run.act[5] = [&](NativeDialog* dialog) {
      copy_dialog = dialog;
      run.Press(dialog, IDC_START);
    };
    run.answer = [&](const std::string& caption, const std::string& text) {
      if (caption == kInfoCaption && text.find("ｺﾋﾟｰできませんでした") != std::string::npos) {
        told = true;
        EXPECT_EQ(text.substr(text.rfind('\n') + 1), "c:\\data1\\log1\\19990307.log");
        EXPECT_TRUE(fs::is_regular_file(fs::path(run.source) / "data1/log1/19990307.log"))
            << "the box names a log that is not there";
        // A real dialog takes no input while a box it owns is open, and its buttons are not
        // back yet. Were they, コピー開始 would wait for the worker that waits for this box.
        bool owned = copy_dialog != nullptr && NativeDialogOwnsOpenBox(copy_dialog);
        EXPECT_TRUE(owned) << "the box is not owned by the copy dialog";
        if (!owned || NativeDialogEnabled(copy_dialog, IDC_START)) {
          ADD_FAILURE() << "the copy start button can be pressed while the box is open";
          return kIdOk;
        }
        run.Press(copy_dialog, IDC_START);
        run.Press(copy_dialog, IDC_INTERRUPT);
        run.Press(copy_dialog, IDC_CANCEL_BUTTON);
        int32_t ended;
        EXPECT_FALSE(NativeDialogEnded(copy_dialog, &ended));
      }
      return kIdOk;
    };
    run.Run();
    EXPECT_TRUE(told);
    EXPECT_EQ(run.dialogs, kWholeWay);
    EXPECT_FALSE(HasBox(run, Info(kCopyQuestion))) << "asked about an interruption after success";
    EXPECT_TRUE(run.closed);
    EXPECT_FALSE(ShutDownOnExit);
    EXPECT_EQ(CardSerial(run.card), 0x2D2C10D4u);

    std::ifstream log(fs::path(run.source) / "data1/log1/19990307.log", std::ios::binary);
    std::string lines((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(lines,
              "1999年03月07日 18時05分42秒 コピーできませんでした(エラー 32) "
              "C:\\WINDOWS\\SYSTEM\\USER.DAT\n");
    EXPECT_EQ(LogFolderPaths(run), (std::vector<std::string>{"data1", "data1/log1",
                                                             "data1/log1/19990307.log"}));
    EXPECT_EQ(TreeDigest(run.source), before) << "C: was written outside its log folder";
    EXPECT_FALSE(fs::exists(fs::path(run.card.volume) / kLogFolder)) << "a log on the card";
  }
  {
    WizardRun run(128);
    run.act[0] = [&](NativeDialog* dialog) {
      char zero[] = "0";
      EXPECT_EQ(FuncSetNewVolSerial(zero), 0);
      run.Press(dialog, IDC_NEXT);
    };
    run.act[6] = [&](NativeDialog* dialog) {
      EXPECT_FALSE(ShutDownOnExit);
      run.Press(dialog, IDC_SHUT_DOWN_NOW);
    };
    run.Run();
    EXPECT_EQ(run.dialogs, kWholeWay);
    EXPECT_TRUE(run.closed);
    EXPECT_TRUE(ShutDownOnExit);
    EXPECT_EQ(CardSerial(run.card), 0x3C1A2B4Du);  // C:'s
    EXPECT_FALSE(fs::exists(fs::path(run.source) / kLogFolder)) << "nothing was left out";
  }
  ClockRun();
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
    run.act[5] = [&](NativeDialog* dialog) { run.Press(dialog, IDC_INTERRUPT); };
    run.Run();
    EXPECT_EQ(run.dialogs, to_copy);
    EXPECT_TRUE(HasBox(run, Info(kCopyQuestion)));
    EXPECT_NE(CardSerial(run.card), 1u);
  }
  {
    SCOPED_TRACE("中　断 during the copy, answered Yes");
    WizardRun run(128);
    run.act[5] = [&](NativeDialog* dialog) {
      run.Press(dialog, IDC_START);
      run.HandleUntil(dialog, [&] { return run.worker_texts > 2; });
      run.Press(dialog, IDC_INTERRUPT);
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
