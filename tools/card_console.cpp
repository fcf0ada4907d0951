#include "tools/card_console.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/engine_hooks.h"
#include "platform/window_native.h"

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

static char bar_control;
static char status_control;

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

void EndProgressLine() {
  if (drawn_cells < 0) return;
  std::fputc('\n', stderr);
  drawn_cells = -1;
}

static intptr_t OnControlMessage(void* control, uint32_t message, uintptr_t wparam,
                                 intptr_t lparam) {
  if (control == &status_control && message == kWmSetText) {
    EndProgressLine();
    std::fprintf(stderr, "%s\n", Utf8FromSjis(reinterpret_cast<const char*>(lparam)).c_str());
    return 1;
  }
  if (control != &bar_control) return 0;
  switch (message) {
    case kPbmSetRange:
      bar_range = static_cast<uint32_t>(lparam >> 16) & 0xFFFF;
      break;
    case kPbmSetPos:
      bar_position = static_cast<uint32_t>(wparam);
      break;
    case kPbmSetStep:
      bar_step = static_cast<uint32_t>(wparam);
      break;
    case kPbmStepIt:
      bar_position += bar_step;
      break;
    default:
      return 0;
  }
  DrawBar();
  return 0;
}

void ShowEngineOnStderr() {
  ControlMessageHandler = OnControlMessage;
  EngineProgressBar = &bar_control;
  EngineStatusText = &status_control;
}
