#include "screen/paint.h"

#include <cmath>

#include "platform/text.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"

static int32_t Clamp32(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// trunc(origin + size * offset), kept within 32 bits.
static int32_t Shift(int32_t origin, int32_t size, double offset) {
  double shifted = std::trunc(origin + size * offset);
  if (std::isnan(shifted)) return origin;
  if (shifted >= 2147483647.0) return INT32_MAX;
  if (shifted <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(shifted);
}

int32_t TextOffset(int32_t alignment, int32_t left, int32_t right, int32_t text_width) {
  int64_t room = static_cast<int64_t>(right) - left - text_width;
  if (alignment == kAlignCentre) return Clamp32(room / 2);
  if (alignment == kAlignRight) return Clamp32(room);
  return 0;
}

static void DrawBitmap(const PaintCanvas& canvas, const DisplayItem& item) {
  if (item.background != 0) return;
  canvas.stretch_bitmap(canvas.context, item, Shift(item.left, item.width, OffsetX1),
                        Shift(item.top, item.height, OffsetY1));
}

// The ring of radius w around (x, y): the left column, the right column, the top row, the
// bottom row, each from -w to w.
static void DrawOutline(const PaintCanvas& canvas, const DisplayItem& item, int64_t x, int64_t y) {
  int64_t w = item.outline_width < kMaxOutlineWidth ? item.outline_width : kMaxOutlineWidth;
  const char* text = item.text;
  uint32_t colour = item.outline_colour;
  void* context = canvas.context;
  for (int64_t d = -w; d <= w; ++d)
    canvas.draw_text(context, Clamp32(x - w), Clamp32(y + d), text, colour);
  for (int64_t d = -w; d <= w; ++d)
    canvas.draw_text(context, Clamp32(x + w), Clamp32(y + d), text, colour);
  for (int64_t d = -w; d <= w; ++d)
    canvas.draw_text(context, Clamp32(x + d), Clamp32(y - w), text, colour);
  for (int64_t d = -w; d <= w; ++d)
    canvas.draw_text(context, Clamp32(x + d), Clamp32(y + w), text, colour);
}

static void DrawItemText(const PaintCanvas& canvas, const DisplayItem& item) {
  PaintFont font;
  font.height = item.bottom - item.top;
  font.weight = Clamp32(static_cast<int64_t>(item.weight) * 100);
  TextCopy(font.face, sizeof font.face, item.font_face);
  canvas.select_font(canvas.context, font);
  int32_t width = canvas.text_width(canvas.context, item.text);
  int64_t x =
      static_cast<int64_t>(item.left) + TextOffset(item.alignment, item.left, item.right, width);
  if (item.outlined != 0) DrawOutline(canvas, item, x, item.top);
  canvas.draw_text(canvas.context, Clamp32(x), item.top, item.text, item.text_colour);
  canvas.release_font(canvas.context);
}

void PaintScreen(const PaintCanvas& canvas) {
  canvas.fill_black(canvas.context, ScreenWidth, ScreenHeight);
  bool drawn = MainWinCleared;
  if (!MainWinCleared) {
    for (int32_t i = 0; i < DisplayList.count; ++i) {
      const DisplayItem& item = *DisplayList.items[i];
      if (item.bitmap != nullptr) {
        DrawBitmap(canvas, item);
        drawn = true;
      }
      if (item.text[0] != '\0') {
        DrawItemText(canvas, item);
        drawn = true;
      }
    }
  }
  if (drawn) canvas.copy_to_window(canvas.context, ScreenWidth, ScreenHeight);
}
