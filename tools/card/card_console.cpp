#include "tools/card/card_console.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/engine_report.h"

std::string Utf8FromSjis(const char* sjis) {
  std::string out;
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return sjis;
  char* in = const_cast<char*>(sjis);
  size_t in_left = std::strlen(sjis);
  char buffer[256];
  while (in_left > 0) {
    char* o = buffer;
    size_t o_left = sizeof buffer;
    size_t r = iconv(cd, &in, &in_left, &o, &o_left);
    out.append(buffer, sizeof buffer - o_left);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // An unconvertible byte: shown as '?', then the rest of the text.
      out.push_back('?');
      ++in;
      --in_left;
    }
  }
  iconv_close(cd);
  return out;
}

std::string ConsoleText(const std::string& text) {
  std::string out;
  auto escape = [&out](uint8_t byte) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 15]);
  };
  for (size_t i = 0; i < text.size();) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (b < 0x80) {
      if (b < 0x20 || b == 0x7F)
        escape(b);
      else
        out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    // A whole, shortest UTF-8 sequence of a character that is no C1 control goes as it is.
    size_t extra = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
    bool whole = extra > 0 && i + extra < text.size();
    uint32_t c = b & (0x3F >> extra);
    for (size_t k = 1; whole && k <= extra; ++k) {
      const uint8_t next = static_cast<uint8_t>(text[i + k]);
      whole = (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8; U+0080-U+009F are
    // the C1 controls (9Bh starts an escape sequence as ESC [ does).
    whole = whole && !(extra == 1 && c < 0xA0) &&
            !(extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) &&
            !(extra == 3 && (c < 0x10000 || c > 0x10FFFF));
    if (!whole) {
      escape(b);
      ++i;
      continue;
    }
    out.append(text, i, extra + 1);
    i += extra + 1;
  }
  return out;
}

static const int kBarWidth = 40;
static uint32_t bar_range = 0;
static uint32_t bar_position = 0;
static uint32_t bar_step = 10;
static int drawn_cells = -1;  // -1: no bar on the current line

static void DrawBar() {
  uint32_t position = bar_position < bar_range ? bar_position : bar_range;
  int percent = bar_range == 0 ? (position > 0 ? 100 : 0)
                               : static_cast<int>(uint64_t{position} * 100 / bar_range);
  // Redrawn only when a cell changes: at most kBarWidth + 1 times a phase.
  int full = percent * kBarWidth / 100;
  if (full == drawn_cells) return;
  drawn_cells = full;
  char cells[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) cells[i] = i < full ? '#' : '.';
  cells[kBarWidth] = '\0';
  std::fprintf(stderr, "\r  [%s] %3d%%", cells, percent);
  std::fflush(stderr);
}

void Say(const std::string& line) {
  std::printf("%s\n", ConsoleText(line).c_str());
  std::fflush(stdout);
}

std::string CountText(const TreeCount& count) {
  return std::to_string(count.files) + " files, " + std::to_string(count.directories) +
         " folders, " + std::to_string(count.bytes) + " bytes";
}

void EndProgressLine() {
  if (drawn_cells < 0) return;
  std::fputc('\n', stderr);
  drawn_cells = -1;
}

static void OnStatus(void*, const char* text) {
  EndProgressLine();
  std::fprintf(stderr, "%s\n", Utf8FromSjis(text).c_str());
}

static void OnProgressRange(void*, uint32_t maximum) {
  bar_range = maximum;
  DrawBar();
}

static void OnProgressPosition(void*, uint32_t position) {
  bar_position = position;
  DrawBar();
}

static void OnProgressStep(void*, uint32_t step) {
  bar_step = step;
  DrawBar();
}

static void OnProgressStepIt(void*) {
  bar_position += bar_step;
  DrawBar();
}

static const EngineReport kConsoleReport = {nullptr,          OnStatus,          OnProgressRange,
                                            OnProgressPosition, OnProgressStep, OnProgressStepIt,
                                            nullptr,          nullptr,           nullptr};

void ShowEngineOnStderr() { RegisteredReport = &kConsoleReport; }
