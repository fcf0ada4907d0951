// Fuzzes the text, screen and layout commands and painting: the input is script lines, one per
// line feed, run through the line executor, then the whole DisplayList is painted through a
// canvas that only checks what it is given. Whatever numbers the lines hold (huge, negative, NaN
// fractions, widths, weights, offsets), no step may overflow or leave an item's texts.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "interp/command_table.h"
#include "interp/exec.h"
#include "interp/var_table.h"
#include "platform/text.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "screen/paint.h"
#include "screen/screen_commands.h"

static void Check(bool condition) {
  if (!condition) std::abort();
}

static int32_t text_width = 0;  // what the canvas measures, from the input's first bytes

static void CheckText(const char* text) { Check(std::memchr(text, '\0', 256) != nullptr); }

static const PaintCanvas kCanvas = {
    nullptr,
    [](void*, int32_t w, int32_t h) { Check(w == ScreenWidth && h == ScreenHeight); },
    [](void*, const DisplayItem& item, int32_t, int32_t) { Check(item.bitmap != nullptr); },
    [](void*, const PaintFont& font) { Check(std::memchr(font.face, '\0', 32) != nullptr); },
    [](void*, const char* text) {
      CheckText(text);
      return text_width;
    },
    [](void*, int32_t, int32_t, const char* text, uint32_t) { CheckText(text); },
    [](void*) {},
    [](void*, int32_t, int32_t) {},
};

static bool FillTable() {
  const struct {
    const char* name;
    CommandHandler handler;
  } commands[] = {{"StrL", FuncStrL},
                  {"StrC", FuncStrC},
                  {"StrR", FuncStrR},
                  {"StrLWithBack", FuncStrLWithBack},
                  {"StrCWithBack", FuncStrCWithBack},
                  {"StrRWithBack", FuncStrRWithBack},
                  {"TitleStrL", FuncTitleStrL},
                  {"TitleStrCWithBack", FuncTitleStrCWithBack},
                  {"ClrMainWin", FuncClrMainWin},
                  {"DoClr", FuncDoClr},
                  {"DspUpdateWindow", FuncDspUpdateWindow},
                  {"DoTitle", FuncDoTitle},
                  {"SetOffsetX1", FuncSetOffsetX1},
                  {"SetOffsetY1", FuncSetOffsetY1},
                  {"SetLeftMargin", FuncSetLeftMargin}};
  for (const auto& command : commands) CommandTableAdd(command.name, command.handler);
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = FillTable();
  (void)ready;
  // Bytes 0-3: the measured text width; bytes 4-5: the screen's width and height in 16 pixels.
  if (size < 6) return 0;
  std::memcpy(&text_width, data, sizeof text_width);
  ScreenWidth = 16 * (data[4] + 1);
  ScreenHeight = 16 * (data[5] + 1);
  const char* next = reinterpret_cast<const char*>(data) + 6;
  const char* end = reinterpret_cast<const char*>(data) + size;
  for (int32_t number = 1; next < end; ++number) {
    const char* stop = static_cast<const char*>(std::memchr(next, '\n', end - next));
    if (stop == nullptr) stop = end;
    ScriptLine line;
    size_t length = TextFit(next, stop - next, sizeof line.text - 1);
    std::memcpy(line.text, next, length);
    line.text[length] = '\0';
    line.line_number = number;
    ExecLine(line);
    next = stop + 1;
  }
  PaintScreen(kCanvas);
  ReleaseDrawingBuffers();
  MainWinCleared = false;
  OffsetX1 = OffsetY1 = 0.0;
  VarTableRelease();
  return 0;
}
