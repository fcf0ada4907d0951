// kelvado-script: runs a script file through the interpreter, with the console in place of the
// main window. START runs at "window creation", then NEWONE messages are handled and 100 ms ticks
// follow on a simulated clock until the window closes, nothing is pending or the tick limit is
// reached. Question boxes take their answers from --answer; the card emulator stands in for the
// ASPI driver when its CARDSIM_* variables are set. Message boxes, traced lines, the way the run
// ended and the variables are printed in
// UTF-8; the script file and every text of the program are Shift-JIS.
//
// The screen is --screen WxH pixels (640x480 unless given). Bitmap files are loaded for real;
// every refresh of the window prints the DisplayList, and --click X,Y clicks the window after
// START (in order, one before each run of the queue). Video and sound go to a stand-in device
// whose requests are printed; a play that is not repeated ends as soon as the run that started it
// is over.
//
// --help prints the usage and --version the version, on standard output, and end with 0; a wrong
// command line ends with 2, a FILE that cannot be read with 1.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "cardsim/attach_native.h"
#include "interp/arguments.h"
#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/section_choice.h"
#include "interp/var_table.h"
#include "platform/clock.h"
#include "platform/clock_native.h"
#include "platform/window_native.h"
#include "screen/display_list.h"
#include "screen/media.h"
#include "screen/paint.h"
#include "screen/screen_native.h"
#include "kelvado_version.h"

namespace {

const char kUsage[] =
    "usage: kelvado-script [--trace] [--max-ticks N] [--dialog R]... [--answer R]... [--clock TIME]\n"
    "                      [--screen WxH] [--click X,Y]... FILE\n"
    "       kelvado-script --help\n"
    "       kelvado-script --version\n";

// What --help adds to the usage.
const char kHelp[] =
    "\n"
    "Runs the script FILE (Shift-JIS) through kelvado.exe's interpreter, with the console in place\n"
    "of the main window, and prints in UTF-8 what the program would show.\n"
    "\n"
    "  --trace          print every executed line\n"
    "  --max-ticks N    end after N ticks of 100 ms (100000)\n"
    "  --dialog R       the next StartDialog's result: 1 OK, anything else Cancel\n"
    "  --answer R       the next question box's answer: 1 OK or Yes, anything else Cancel or No\n"
    "  --clock TIME     stop the clock at a local time, such as 1999-03-07T09:05:42\n"
    "  --screen WxH     the screen's size (640x480)\n"
    "  --click X,Y      click the window there once the queue is empty\n"
    "\n"
    "Exit status: 0 when the script ran to an end, 1 when FILE cannot be read, 2 for a wrong\n"
    "command line. man kelvado-script tells the output's lines.\n";

std::vector<std::string> script_lines;
std::deque<int> dialog_answers;
std::deque<int> box_answers;
std::deque<std::pair<int32_t, int32_t>> clicks;

// The main window's queue: NEWONE, WM_CLOSE and the end of a playback (with its device), possibly
// posted from a second thread.
enum MessageKind { kNewOne, kClose, kMediaEnd };
struct Message {
  MessageKind kind;
  uint32_t device;
};
std::mutex queue_lock;
std::deque<Message> queue;

void Post(MessageKind kind, uint32_t device = 0) {
  std::lock_guard<std::mutex> hold(queue_lock);
  queue.push_back({kind, device});
}

bool Take(Message* message) {
  std::lock_guard<std::mutex> hold(queue_lock);
  if (queue.empty()) return false;
  *message = queue.front();
  queue.pop_front();
  return true;
}

// Shift-JIS to UTF-8; a byte that is no Shift-JIS character is written as \xNN.
std::string Utf8(const char* text) {
  static iconv_t convert = iconv_open("UTF-8", "CP932");
  std::string out;
  char* in = const_cast<char*>(text);
  size_t in_left = std::strlen(text);
  while (in_left > 0) {
    char buffer[256];
    char* to = buffer;
    size_t to_left = sizeof buffer;
    size_t done = iconv(convert, &in, &in_left, &to, &to_left);
    out.append(buffer, static_cast<size_t>(to - buffer));
    if (done == static_cast<size_t>(-1) && errno != E2BIG) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(*in));
      out += escaped;
      ++in;
      --in_left;
      iconv(convert, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::string EscapeLineFeeds(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

// A question (OK/Cancel, Yes/No) takes the next --answer: 1 for OK or Yes, any other value for
// Cancel or No; with no answer left it is answered OK or Yes, as every other box.
int32_t PrintMessageBox(bool, const char* text, const char* caption, uint32_t style) {
  std::printf("[box] %s: %s\n", Utf8(caption).c_str(), EscapeLineFeeds(Utf8(text)).c_str());
  uint32_t buttons = style & 0x000F;
  bool yes = true;
  if ((buttons == kMbYesNo || buttons == kMbOkCancel) && !box_answers.empty()) {
    yes = box_answers.front() == 1;
    box_answers.pop_front();
  }
  if (buttons == kMbYesNo) return yes ? kIdYes : kIdNo;
  return buttons == kMbOkCancel && !yes ? kIdCancel : kIdOk;
}

void PrintTraceLine() { std::printf("[trace] %s\n", Utf8(TraceLine).c_str()); }

// A refresh: what the paint would draw, item by item.
void PrintDisplayList() {
  std::printf("[refresh] %d item%s%s\n", static_cast<int>(DisplayList.count),
              DisplayList.count == 1 ? "" : "s", MainWinCleared ? ", cleared" : "");
  for (int32_t i = 0; i < DisplayList.count; ++i) {
    const DisplayItem& item = *DisplayList.items[i];
    std::printf("[item] %d,%d-%d,%d", static_cast<int>(item.left), static_cast<int>(item.top),
                static_cast<int>(item.right), static_cast<int>(item.bottom));
    if (item.bitmap != nullptr)
      std::printf(" bitmap %s %ux%u", Utf8(item.bitmap_path).c_str(), item.bitmap_width,
                  item.bitmap_height);
    if (item.background != 0) std::printf(" background");
    if (item.section[0] != '\0') std::printf(" button %s", Utf8(item.section).c_str());
    if (item.text[0] != '\0') std::printf(" text %s", Utf8(item.text).c_str());
    std::printf("\n");
  }
}

void PrintMediaRequest(const char* request) { std::printf("[media] %s\n", Utf8(request).c_str()); }

void PrintVariable(const VarRecord& record, void*) {
  std::printf("[var] %s=", Utf8(record.name).c_str());
  if (record.kind == kVarInteger)
    std::printf("%d\n", static_cast<int>(record.integer_value));
  else if (record.kind == kVarReal)
    std::printf("%f\n", record.real_value);
  else
    std::printf("%s\n", Utf8(record.string_value).c_str());
}

const char* FileLine(int32_t n) {
  if (n < 1 || static_cast<size_t>(n) > script_lines.size()) return nullptr;
  return script_lines[static_cast<size_t>(n) - 1].c_str();
}

// StartDialog on the console: the next --dialog answer stands for how the dialog ended, 1 for
// the OK path (TrueSection), anything else, or no answer left, for Cancel (FalseSection).
int32_t ConsoleStartDialog(char* args) {
  std::printf("[cmd] StartDialog%s%s\n", args != nullptr ? " " : "",
              args != nullptr ? Utf8(args).c_str() : "");
  char* name;
  int32_t result = ReadArguments("FuncStartDialog", args, Value(&name));
  if (result < 0) return result;
  static const char* const kDialogs[] = {
      "DLG_OPENING_1", "DLG_TARGET_DRIVEINFO", "DLG_CHK_TARGET_DRIVE", "DLG_MAKE_PARTITION_TGETDRV",
      "DLG_CARD_INIT", "DLG_START_KELVADO",    "DLG_TRUE_END_PROGRAM", "DLG_FALSE_END_PROGRAM"};
  bool known = false;
  for (const char* dialog : kDialogs) known = known || std::strcmp(dialog, name) == 0;
  if (!known) return kFailed;
  int answer = 2;
  if (!dialog_answers.empty()) {
    answer = dialog_answers.front();
    dialog_answers.pop_front();
  }
  ChooseStoredSection(answer == 1 ? kTrueSection : kFalseSection);
  return kGoOn;
}

bool ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    script_lines.push_back(line);
    start = end + 1;
  }
  return true;
}

bool ParseNumber(const char* text, long* value) {
  char* end;
  errno = 0;
  *value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

// --clock YYYY-MM-DDThh:mm:ss stops the clock at that local time (UTC the same).
bool ParseClock(const char* text, ClockTime* time) {
  unsigned year, month, day, hour, minute, second;
  char end;
  if (std::sscanf(text, "%4u-%2u-%2uT%2u:%2u:%2u%c", &year, &month, &day, &hour, &minute, &second,
                  &end) != 6)
    return false;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
    return false;
  // Day of the week by Sakamoto's method, 0 = Sunday.
  static const unsigned kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  unsigned y = month < 3 ? year - 1 : year;
  unsigned weekday = (y + y / 4 - y / 100 + y / 400 + kMonthOffset[month - 1] + day) % 7;
  *time = {static_cast<uint16_t>(year),    static_cast<uint16_t>(month),
           static_cast<uint16_t>(weekday), static_cast<uint16_t>(day),
           static_cast<uint16_t>(hour),    static_cast<uint16_t>(minute),
           static_cast<uint16_t>(second),  0};
  return true;
}

// A script that jumps in a circle posts NEWONE after NEWONE, and a message loop never gets to its
// timer while posted messages wait; a chain this long without a tick counts as the tick limit.
const long kNewOneChainLimit = 100000;

// Handles the queue, then ticks, until the run ends; says how.
const char* Run(long max_ticks) {
  for (long ticks = 0;; ++ticks) {
    Message message;
    long chain = 0;
    while (Take(&message)) {
      if (message.kind == kClose) return "closed";
      if (++chain > kNewOneChainLimit) return "ticks";
      if (message.kind == kMediaEnd)
        MainWindowMediaEnd(kMediaEndSuccessful, message.device);
      else
        MainWindowNewOne();
    }
    if (!clicks.empty()) {
      MainWindowClick(clicks.front().first, clicks.front().second);
      clicks.pop_front();
      --ticks;
      continue;
    }
    if (!IsResumePending()) return "idle";
    if (ticks >= max_ticks) return "ticks";
    MainWindowTick();
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool trace = false;
  long max_ticks = 100000;
  const char* path = nullptr;
  ClockTime clock;
  ScreenWidth = 640;
  ScreenHeight = 480;
  for (int i = 1; i < argc; ++i) {
    long value;
    int x, y;
    char end;
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("%s%s", kUsage, kHelp);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("kelvado-script (Kelvado) %s\n", KELVADO_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--trace") == 0) {
      trace = true;
    } else if (std::strcmp(argv[i], "--max-ticks") == 0 && i + 1 < argc &&
               ParseNumber(argv[i + 1], &value) && value >= 0) {
      max_ticks = value;
      ++i;
    } else if (std::strcmp(argv[i], "--dialog") == 0 && i + 1 < argc &&
               ParseNumber(argv[i + 1], &value)) {
      dialog_answers.push_back(static_cast<int>(value));
      ++i;
    } else if (std::strcmp(argv[i], "--answer") == 0 && i + 1 < argc &&
               ParseNumber(argv[i + 1], &value)) {
      box_answers.push_back(static_cast<int>(value));
      ++i;
    } else if (std::strcmp(argv[i], "--clock") == 0 && i + 1 < argc &&
               ParseClock(argv[i + 1], &clock)) {
      ClockStop(clock, clock);
      ++i;
    } else if (std::strcmp(argv[i], "--screen") == 0 && i + 1 < argc &&
               std::sscanf(argv[i + 1], "%dx%d%c", &x, &y, &end) == 2 && x > 0 && y > 0) {
      ScreenWidth = x;
      ScreenHeight = y;
      ++i;
    } else if (std::strcmp(argv[i], "--click") == 0 && i + 1 < argc &&
               std::sscanf(argv[i + 1], "%d,%d%c", &x, &y, &end) == 2) {
      clicks.push_back({x, y});
      ++i;
    } else if (argv[i][0] != '-' && path == nullptr) {
      path = argv[i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (path == nullptr) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!ReadFile(path)) {
    std::fprintf(stderr, "kelvado-script: cannot read %s\n", path);
    return 1;
  }

  // With the card emulator's variables set, InitAdapter finds its card; without them the driver
  // library "does not load", as on a system without one.
  if (std::getenv("CARDSIM_IMAGE") != nullptr || std::getenv("CARDSIM_ADAPTERS") != nullptr)
    CardSimAttach();
  MessageBoxHandler = PrintMessageBox;
  PostNewOneHandler = [] { Post(kNewOne); };
  PostCloseHandler = [] { Post(kClose); };
  RefreshMainWindowHandler = PrintDisplayList;
  MediaDeviceTraceHook = PrintMediaRequest;
  MediaStandInPlayHook = [](uint32_t device, bool repeat) {
    if (!repeat) Post(kMediaEnd, device);
  };
  // The console stand-ins come first, so that they take the place of the real commands.
  CommandTableAdd("StartDialog", ConsoleStartDialog);

  const char* end = "closed";
  if (StartInterpreter(FileLine) == 0) {
    if (trace) LineExecutedHook = PrintTraceLine;
    MainWindowCreate();
    end = Run(max_ticks);
  }
  std::printf("[end] %s\n", end);
  VarTableForEach(PrintVariable, nullptr);
  return 0;
}
