// DisplayItem: one bitmap, bitmap button or text of the main window, placed in pixels.
//
// Script commands give rectangles as fractions of the screen; Set rectangle turns them into
// pixels as trunc(size * fraction + 0.5). Pixel values are kept within +-kPixelLimit, so that
// every sum and difference that painting forms stays a plain 32-bit number whatever the script
// wrote (1e300, -1e300 or a NaN fraction included).
#ifndef KELVADO_SCREEN_DISPLAY_ITEM_H
#define KELVADO_SCREEN_DISPLAY_ITEM_H

#include <cstdint>

#include "screen/packed_dib.h"

const int32_t kPixelLimit = 1 << 28;

// Size of the screen in pixels, read once at start-up. Script coordinates are fractions of it.
extern int32_t ScreenWidth;
extern int32_t ScreenHeight;

// Alignment of a text inside left..right.
const int32_t kAlignLeft = -1;
const int32_t kAlignCentre = 0;
const int32_t kAlignRight = 1;

struct DisplayItem {
  int32_t left, top, right, bottom;  // inclusive on all four sides
  int32_t width, height;             // right - left + 1, bottom - top + 1
  char section[256];                 // section run by a click: bitmap buttons only
  int32_t background;                // non-zero: a background bitmap, whose picture is not painted
  char bitmap_path[256];
  PackedDib* bitmap;            // owned; nullptr for none
  const unsigned char* pixels;  // the pixel rows inside bitmap
  uint16_t bitmap_width, bitmap_height;
  char text[256];        // empty for picture items
  uint32_t text_colour;  // COLORREF: red + green * 256 + blue * 65536
  char font_face[256];
  int32_t alignment;  // kAlignLeft, kAlignCentre, kAlignRight
  int32_t weight;     // font weight in hundreds
  int32_t outlined;   // non-zero: an outline ring is drawn around the text
  uint32_t outline_colour;
  int32_t outline_width;  // radius of the ring, pixels
};

// Every number 0, every text empty, no bitmap (a bitmap it held is not freed).
void ResetItem(DisplayItem* item);

// trunc(size * fraction + 0.5), kept within +-kPixelLimit; 0 for NaN.
int32_t FractionToPixel(int32_t size, double fraction);
// A COLORREF from three components, each cut to its low 8 bits.
uint32_t MakeColour(int32_t red, int32_t green, int32_t blue);

// Fills the rectangle from screen fractions of ScreenWidth and ScreenHeight and empties section,
// bitmap path, text and font face; text colour, alignment and weight become 0.
void SetItemRect(DisplayItem* item, double x1, double y1, double x2, double y2);
// Set rectangle, then the text, its colour, face, alignment and weight; no outline.
void SetItemText(DisplayItem* item, const char* text, double x1, double y1, double x2, double y2,
                 int32_t alignment, int32_t red, int32_t green, int32_t blue, const char* face,
                 int32_t weight);
// Set text, then an outline ring of the given colour and radius.
void SetItemOutlinedText(DisplayItem* item, const char* text, double x1, double y1, double x2,
                         double y2, int32_t alignment, int32_t red, int32_t green, int32_t blue,
                         const char* face, int32_t weight, int32_t outline_red,
                         int32_t outline_green, int32_t outline_blue, int32_t outline_width);

// A click at (x, y) hits an item that has a section when the point lies strictly inside its
// rectangle: a click on the border misses.
bool ItemHit(const DisplayItem& item, int32_t x, int32_t y);

#endif
