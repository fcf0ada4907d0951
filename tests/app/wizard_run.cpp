#include "tests/app/wizard_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "app/builtin_script.h"
#include "app/main_window.h"
#include "app/program.h"
#include "aspi/aspi.h"
#include "cardsim/attach_native.h"
#include "engine/engine_hooks.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/script_error.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "interp/var_table.h"
#include "platform/files.h"
#include "platform/files_native.h"
#include "platform/os.h"
#include "platform/window.h"
#include "platform/window_native.h"
#include "services/cursor_wait.h"
#include "wizard/dialogs.h"
#include "wizard/start_dialog_native.h"
#include "wizard/workers.h"

namespace fs = std::filesystem;

namespace {

WizardRun* current = nullptr;
std::thread::id main_thread;

// What the program posts to its main window.
enum Posted { kNewOne, kClose };
std::deque<Posted> posted;

// A message a worker sends to its dialog: handled by the dialog's thread while the worker waits.
struct Sent {
  void* dialog;
  int32_t id;
  intptr_t value;
  bool done;
};
std::mutex lock;  // the queue below, the stand-in dialogs' texts, the boxes
std::condition_variable changed;
std::deque<Sent*> sent;

void WriteFile(const fs::path& path, size_t size, uint8_t seed) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed) >> 3);
  out << bytes;
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

intptr_t OnControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (message == kWmCommand) {
    int32_t id = static_cast<int32_t>(wparam & 0xFFFF);
    if (std::this_thread::get_id() == main_thread) {
      NativeDialog* dialog = static_cast<NativeDialog*>(control);
      kDialogReactions[NativeDialogIndex(dialog)].command(dialog, id, lparam);
      return 0;
    }
    Sent message_sent{control, id, lparam, false};
    std::unique_lock<std::mutex> hold(lock);
    sent.push_back(&message_sent);
    changed.notify_all();
    changed.wait(hold, [&] { return message_sent.done; });
    return 0;
  }
  bool from_worker = std::this_thread::get_id() != main_thread;
  int32_t id;
  NativeDialog* dialog = NativeControlDialog(control, &id);
  if (message == kWmSetText) {
    std::lock_guard<std::mutex> hold(lock);
    NativeDialogSetText(dialog, id, reinterpret_cast<const char*>(lparam));
  } else if (message == kPbmSetPos && from_worker) {
    ++current->worker_positions;
  }
  return 0;
}

void OnDialogText(void* dialog, int32_t id, const char* text) {
  if (std::this_thread::get_id() != main_thread) ++current->worker_texts;
  std::lock_guard<std::mutex> hold(lock);
  NativeDialogSetText(static_cast<NativeDialog*>(dialog), id, text);
}

int32_t OnMessageBox(bool, const char* text, const char* caption, uint32_t style) {
  {
    std::lock_guard<std::mutex> hold(lock);
    current->boxes.push_back(std::string(caption) + ": " + text);
  }
  if (current->answer) return current->answer(caption, text);
  return (style & 0xF) == kMbYesNo ? kIdYes : kIdOk;
}

void DefaultAct(WizardRun* run, int32_t index, NativeDialog* dialog) {
  static const int32_t kDefaultButton[8] = {IDC_NEXT, IDC_NEXT, IDC_START, IDC_START,
                                            IDC_NEXT, IDC_START, IDC_CANCEL_BUTTON, IDC_CANCEL_BUTTON};
  if (index == 4) run->PresentCard();
  run->Press(dialog, kDefaultButton[index]);
}

int32_t OnDialog(int32_t index) {
  WizardRun* run = current;
  run->dialogs.push_back(DialogName(index));
  NativeDialog* dialog = NativeDialogCreate(index);
  kDialogReactions[index].start(dialog);
  int32_t result = 0;
  if (!NativeDialogEnded(dialog, &result)) {
    if (run->act[index])
      run->act[index](dialog);
    else
      DefaultAct(run, index, dialog);
  }
  run->HandleUntil(dialog, [] { return false; });
  if (!NativeDialogEnded(dialog, &result)) {
    ADD_FAILURE() << DialogName(index) << " did not end";
    result = -1;
  }
  NativeDialogDestroy(dialog);
  return result;
}

// The program as at its start, with no message waiting.
void ResetRun() {
  ResetProgram();
  posted.clear();
}

}  // namespace

WizardRun::WizardRun(uint32_t card_mib) : card(uint64_t{card_mib} * 2048) {
  // C:, a Windows 98 system drive in miniature.
  source = card.folder + "/c";
  const fs::path c(source);
  struct Made {
    const char* path;
    size_t size;
  };
  static const Made kFiles[] = {
      {"IO.SYS", 222390},          {"MSDOS.SYS", 1676},
      {"COMMAND.COM", 93890},      {"CONFIG.SYS", 0},
      {"AUTOEXEC.BAT", 97},        {"ZERO.DAT", 0},
      {"WINDOWS/WIN.INI", 4800},   {"WINDOWS/SYSTEM/USER.DAT", 180256},
      {"WINDOWS/SYSTEM/VMM32/IOS.VXD", 45000},
      {"WINDOWS/SYSTEM/KERNEL32.DLL", 471040},
      {"Program Files/Long Folder Name/read me first.txt", 1234},
      {"My Documents/報告書.txt", 777},  {"DATA/BIG.BIN", 3 * 1024 * 1024 + 17}};
  uint64_t bytes = 0;
  uint8_t seed = 1;
  for (const Made& file : kFiles) {
    WriteFile(c / file.path, file.size, seed++);
    source_files.push_back(file.path);
    bytes += (file.size + 4095) / 4096 * 4096;
  }
  WriteText(c / "CONFIG.SYS", "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\n");
  fs::create_directories(c / "EMPTY");
  fs::create_directories(c / "WINDOWS/TEMP");
  source_used_clusters = static_cast<uint32_t>(bytes / 4096) + 64;
  source_total_clusters = 250000;

  NativeDrivesClear();
  NativeDrive drive{};
  drive.letter = 'C';
  drive.folder = source.c_str();
  drive.type = kDriveFixed;
  drive.serial = 0x3C1A2B4Du;
  drive.label = "WIN98";
  drive.file_system = "FAT32";
  drive.sectors_per_cluster = 8;
  drive.bytes_per_sector = 512;
  drive.total_clusters = source_total_clusters;
  drive.free_clusters = source_total_clusters - source_used_clusters;
  NativeDriveAdd(drive);

  CardSimConfig config;
  CardSimDefaults(&config);
  std::snprintf(config.image, sizeof config.image, "%s", card.image.c_str());
  std::snprintf(config.volume_dir, sizeof config.volume_dir, "%s", card.volume.c_str());
  EXPECT_EQ(CardSimAttach(config), 0);

  ResetRun();
  current = this;
  main_thread = std::this_thread::get_id();
  MessageBoxHandler = OnMessageBox;
  ControlMessageHandler = OnControlMessage;
  DialogTextHandler = OnDialogText;
  DialogHandler = OnDialog;
  PostNewOneHandler = [] { posted.push_back(kNewOne); };
  PostCloseHandler = [] { posted.push_back(kClose); };
}

WizardRun::~WizardRun() {
  ReleaseWorker();
  AspiUnload();
  CardSimStop();
  AspiUnload();
  MessageBoxHandler = nullptr;
  ControlMessageHandler = nullptr;
  DialogTextHandler = nullptr;
  DialogHandler = nullptr;
  PostNewOneHandler = nullptr;
  PostCloseHandler = nullptr;
  NativeDrivesClear();
  ResetRun();
  current = nullptr;
}

void WizardRun::Run(double limit_s) {
  ASSERT_EQ(StartInterpreter(BuiltInScript), 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit_s);
  MainWindowCreate();
  while (std::chrono::steady_clock::now() < deadline) {
    if (!posted.empty()) {
      Posted message = posted.front();
      posted.pop_front();
      if (message == kClose) {
        closed = true;
        return;
      }
      MainWindowNewOne();
    } else if (IsResumePending()) {
      MainWindowTick();
    } else {
      return;  // idle: nothing will happen any more
    }
  }
  ADD_FAILURE() << "the program still runs after " << limit_s << " s";
}

void WizardRun::Press(NativeDialog* dialog, int32_t id) {
  kDialogReactions[NativeDialogIndex(dialog)].command(dialog, id, 0);
}

void WizardRun::HandleUntil(NativeDialog* dialog, const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int32_t result;
  while (!NativeDialogEnded(dialog, &result) && !done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << DialogName(NativeDialogIndex(dialog)) << ": nothing happened for 60 s";
      return;
    }
    Sent* message = nullptr;
    {
      std::unique_lock<std::mutex> hold(lock);
      changed.wait_for(hold, std::chrono::milliseconds(2), [] { return !sent.empty(); });
      if (sent.empty()) continue;
      message = sent.front();
      sent.pop_front();
    }
    NativeDialog* to = static_cast<NativeDialog*>(message->dialog);
    kDialogReactions[NativeDialogIndex(to)].command(to, message->id, message->value);
    std::lock_guard<std::mutex> hold(lock);
    message->done = true;
    changed.notify_all();
  }
}

std::string WizardRun::Text(NativeDialog* dialog, int32_t id) {
  std::lock_guard<std::mutex> hold(lock);
  return NativeDialogText(dialog, id);
}

void WizardRun::PresentCard() {
  std::string serial = card.Serial();
  if (serial.empty()) return;  // no volume on the card: no drive appears
  NativeDrive drive{};
  drive.letter = 'E';
  drive.folder = card.volume.c_str();
  drive.type = kDriveFixed;
  drive.serial = static_cast<uint32_t>(std::strtoul(serial.c_str(), nullptr, 16));
  drive.label = "";
  drive.file_system = "FAT32";
  drive.sectors_per_cluster = 8;
  drive.bytes_per_sector = 512;
  drive.total_clusters = static_cast<uint32_t>(fs::file_size(card.image) / 4096);
  drive.free_clusters = drive.total_clusters - 16;
  NativeDriveAdd(drive);
}

uint32_t CardSerial(const TempCard& card) {
  std::vector<uint8_t> mbr = card.Read(0, 1);
  for (int i = 0; i < 4; ++i) {
    const uint8_t* entry = mbr.data() + 446 + 16 * i;
    uint32_t at = entry[4] == 0x0B || entry[4] == 0x0C ? 67 : entry[4] == 0x06 ? 39 : 0;
    if (at == 0) continue;
    uint32_t start = entry[8] | entry[9] << 8 | entry[10] << 16 | uint32_t{entry[11]} << 24;
    std::vector<uint8_t> boot = card.Read(start, 1);
    return boot[at] | boot[at + 1] << 8 | boot[at + 2] << 16 | uint32_t{boot[at + 3]} << 24;
  }
  return 0;
}

bool CardVerdict(const WizardRun& run, const std::vector<std::string>& left_out,
                 std::string* output) {
  std::string list = run.card.folder + "/left-out.txt";
  std::ofstream out(list);
  for (const std::string& path : left_out) out << path << "\n";
  out.close();
  std::string report = run.card.folder + "/verdict.txt";
  std::string command = "python3 " KELVADO_SOURCE_DIR "/tools/wine/card_verdict.py '" +
                        run.card.image + "' '" + run.card.volume + "' '" + run.source +
                        "' --host-names cp932 --left-out '" + list + "' > '" + report + "' 2>&1";
  int status = std::system(command.c_str());
  std::ifstream in(report);
  output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return status == 0;
}
