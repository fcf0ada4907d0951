#include "screen/display_item.h"

#include <cmath>
#include <cstring>

#include "platform/text.h"

int32_t ScreenWidth = 0;
int32_t ScreenHeight = 0;

void ResetItem(DisplayItem* item) { std::memset(item, 0, sizeof *item); }

int32_t FractionToPixel(int32_t size, double fraction) {
  double pixel = std::trunc(size * fraction + 0.5);
  if (std::isnan(pixel)) return 0;
  if (pixel > kPixelLimit) return kPixelLimit;
  if (pixel < -kPixelLimit) return -kPixelLimit;
  return static_cast<int32_t>(pixel);
}

uint32_t MakeColour(int32_t red, int32_t green, int32_t blue) {
  return (static_cast<uint32_t>(red) & 0xFF) | (static_cast<uint32_t>(green) & 0xFF) << 8 |
         (static_cast<uint32_t>(blue) & 0xFF) << 16;
}

void SetItemRect(DisplayItem* item, double x1, double y1, double x2, double y2) {
  item->left = FractionToPixel(ScreenWidth, x1);
  item->top = FractionToPixel(ScreenHeight, y1);
  item->right = FractionToPixel(ScreenWidth, x2);
  item->bottom = FractionToPixel(ScreenHeight, y2);
  item->width = item->right - item->left + 1;
  item->height = item->bottom - item->top + 1;
  item->section[0] = '\0';
  item->bitmap_path[0] = '\0';
  item->text[0] = '\0';
  item->font_face[0] = '\0';
  item->text_colour = 0;
  item->alignment = 0;
  item->weight = 0;
}

void SetItemText(DisplayItem* item, const char* text, double x1, double y1, double x2, double y2,
                 int32_t alignment, int32_t red, int32_t green, int32_t blue, const char* face,
                 int32_t weight) {
  SetItemRect(item, x1, y1, x2, y2);
  TextCopy(item->font_face, sizeof item->font_face, face);
  item->alignment = alignment;
  TextCopy(item->text, sizeof item->text, text);
  item->text_colour = MakeColour(red, green, blue);
  item->weight = weight;
}

void SetItemOutlinedText(DisplayItem* item, const char* text, double x1, double y1, double x2,
                         double y2, int32_t alignment, int32_t red, int32_t green, int32_t blue,
                         const char* face, int32_t weight, int32_t outline_red,
                         int32_t outline_green, int32_t outline_blue, int32_t outline_width) {
  SetItemText(item, text, x1, y1, x2, y2, alignment, red, green, blue, face, weight);
  item->outlined = 1;
  item->outline_colour = MakeColour(outline_red, outline_green, outline_blue);
  item->outline_width = outline_width;
}

bool ItemHit(const DisplayItem& item, int32_t x, int32_t y) {
  return item.section[0] != '\0' && item.left < x && x < item.right && item.top < y &&
         y < item.bottom;
}
