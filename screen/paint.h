// Painting the main window: the whole DisplayList composed into the ScreenImage, then one copy
// of the image to the window.
//
// The order of the drawing steps is decided here, free of the platform; a PaintCanvas carries
// them out. In kelvado.exe the canvas draws with GDI into the ScreenImage
// (screen_image_win32.cpp); tests record the steps.
#ifndef KELVADO_SCREEN_PAINT_H
#define KELVADO_SCREEN_PAINT_H

#include <cstdint>

#include "screen/display_item.h"


// The font of one text item: cell height in pixels, weight (the item's hundreds times 100) and
// the face name cut to the 31 bytes a font description holds.
struct PaintFont {
  int32_t height;
  int32_t weight;
  char face[32];
};

struct PaintCanvas {
  void* context;
  // Fills (0, 0)..(width, height) of the image black.
  void (*fill_black)(void* context, int32_t width, int32_t height);
  // Stretches the item's whole bitmap onto width x height of the item at (x, y).
  void (*stretch_bitmap)(void* context, const DisplayItem& item, int32_t x, int32_t y);
  // Makes and selects the font of the texts that follow, until release_font deletes it.
  void (*select_font)(void* context, const PaintFont& font);
  // Width in pixels of the whole text in the selected font.
  int32_t (*text_width)(void* context, const char* text);
  // Draws the text with its top-left corner at (x, y) in a COLORREF colour, on a transparent
  // background.
  void (*draw_text)(void* context, int32_t x, int32_t y, const char* text, uint32_t colour);
  void (*release_font)(void* context);
  // Copies (0, 0)..(width, height) of the image to the window.
  void (*copy_to_window)(void* context, int32_t width, int32_t height);
};

// An outline ring wider than this is drawn with this radius: a ring costs 8 w + 4 drawings of
// the text on every paint.
const int32_t kMaxOutlineWidth = 255;

// Horizontal offset of a text of `text_width` pixels inside left..right: 0 for left alignment,
// half the room left over for centring, all of it for right alignment; negative when the text
// is wider than the room. Other alignments are drawn as left-aligned.
int32_t TextOffset(int32_t alignment, int32_t left, int32_t right, int32_t text_width);

// Paints the screen: the image is filled black; unless MainWinCleared is set, every item of the
// DisplayList is drawn in list order (its bitmap, shifted by OffsetX1 and OffsetY1 and skipped
// for background items, then its text with its outline ring); the image is copied to the window
// when an item was drawn or MainWinCleared is set, else the window is left as it is.
void PaintScreen(const PaintCanvas& canvas);

// Releases the ScreenImage, the off-screen picture that painting composes into (the exit
// sequence): in kelvado.exe deletes its DIB section and frees its header block; natively calls
// ReleaseScreenImageHandler (screen/screen_native.h).
void ReleaseScreenImage();

#endif
