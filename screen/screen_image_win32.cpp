#include "screen/screen_image_win32.h"

#include <cstring>

#include "interp/script_error.h"
#include "platform/text.h"
#include "platform/window.h"
#include "screen/paint.h"

static HGLOBAL header_block = NULL;
static HBITMAP image = NULL;

// Codes of the failures while the image is made: the header block cannot be allocated or
// locked, or the section cannot be created.
const int32_t kDibNoMemory = 4098;
const int32_t kDibNoLock = 5001;
const int32_t kDibNoSection = 5008;

static void ReportDibError(HWND window, int32_t code) {
  if (code < 4096 || code > 5012) code = 5013;
  char text[64];
  TextFormat(text, sizeof text, "ＤＩＢエラー:(%d)", static_cast<int>(code));
  ShowMessageBox(true, text, kScriptErrorCaption, kScriptErrorStyle);
  PostQuitMessage(0);
  PostMessageA(window, WM_CLOSE, 0, 0);
}

static void FillHeader(BITMAPINFOHEADER* header) {
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = ScreenWidth;
  header->biHeight = ScreenHeight;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = BI_RGB;
  // Rows padded to whole 32-bit words.
  header->biSizeImage = static_cast<DWORD>((24 * ScreenWidth + 31) / 32 * 4 * ScreenHeight);
}

void ReleaseScreenImage() {
  if (image != NULL) DeleteObject(image);
  if (header_block != NULL) GlobalFree(header_block);
  image = NULL;
  header_block = NULL;
}

int32_t CreateScreenImage(HWND window) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER));
  if (block == NULL) {
    ReportDibError(window, kDibNoMemory);
    return -1;
  }
  BITMAPINFOHEADER* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  if (header == NULL) {
    GlobalFree(block);
    ReportDibError(window, kDibNoLock);
    return -1;
  }
  FillHeader(header);
  ReleaseScreenImage();
  HDC dc = GetDC(window);
  void* bits = NULL;
  HBITMAP section =
      CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS, &bits, NULL, 0);
  ReleaseDC(window, dc);
  if (section == NULL || bits == NULL) {
    if (section != NULL) DeleteObject(section);
    GlobalUnlock(block);
    GlobalFree(block);
    ReportDibError(window, kDibNoSection);
    return -1;
  }
  GlobalUnlock(block);
  header_block = block;
  image = section;
  return 0;
}

// The canvas of a paint: the memory device context that holds the image, the window's device
// context, and the font of the text being drawn.
namespace {
struct GdiPaint {
  HDC image_dc;
  HDC window_dc;
  HFONT font;
  HGDIOBJ previous_font;
};
}  // namespace

static void FillBlack(void* context, int32_t width, int32_t height) {
  Rectangle(static_cast<GdiPaint*>(context)->image_dc, 0, 0, width, height);
}

static void StretchBitmap(void* context, const DisplayItem& item, int32_t x, int32_t y) {
  if (!DibPaintable(*item.bitmap)) return;
  StretchDIBits(static_cast<GdiPaint*>(context)->image_dc, x, y, item.width, item.height, 0, 0,
                item.bitmap_width, item.bitmap_height, item.pixels,
                reinterpret_cast<const BITMAPINFO*>(item.bitmap->data), DIB_RGB_COLORS, SRCCOPY);
}

static void SelectFont(void* context, const PaintFont& font) {
  GdiPaint* paint = static_cast<GdiPaint*>(context);
  paint->font = CreateFontA(font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            0, 0, 0, 0, font.face);
  paint->previous_font = paint->font != NULL ? SelectObject(paint->image_dc, paint->font) : NULL;
}

static int32_t TextWidth(void* context, const char* text) {
  SIZE size = {0, 0};
  GetTextExtentPoint32A(static_cast<GdiPaint*>(context)->image_dc, text,
                        static_cast<int>(std::strlen(text)), &size);
  return size.cx;
}

static void DrawTextAt(void* context, int32_t x, int32_t y, const char* text, uint32_t colour) {
  HDC dc = static_cast<GdiPaint*>(context)->image_dc;
  SetTextColor(dc, colour);
  TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

static void ReleaseFont(void* context) {
  GdiPaint* paint = static_cast<GdiPaint*>(context);
  if (paint->font == NULL) return;
  SelectObject(paint->image_dc, paint->previous_font);
  DeleteObject(paint->font);
  paint->font = NULL;
}

static void CopyToWindow(void* context, int32_t width, int32_t height) {
  GdiPaint* paint = static_cast<GdiPaint*>(context);
  BitBlt(paint->window_dc, 0, 0, width, height, paint->image_dc, 0, 0, SRCCOPY);
}

// Before the image exists (a refresh while START runs inside the window's creation) a paint only
// validates the window.
void PaintMainWindow(HWND window) {
  PAINTSTRUCT ps;
  HDC window_dc = BeginPaint(window, &ps);
  if (image != NULL) {
    GdiPaint paint = {CreateCompatibleDC(window_dc), window_dc, NULL, NULL};
    HGDIOBJ previous_image = SelectObject(paint.image_dc, image);
    HGDIOBJ previous_brush = SelectObject(paint.image_dc, GetStockObject(BLACK_BRUSH));
    SetStretchBltMode(paint.image_dc, COLORONCOLOR);
    SetBkMode(paint.image_dc, TRANSPARENT);
    const PaintCanvas canvas = {&paint,    FillBlack,  StretchBitmap, SelectFont,
                                TextWidth, DrawTextAt, ReleaseFont,   CopyToWindow};
    PaintScreen(canvas);
    SelectObject(paint.image_dc, previous_brush);
    SelectObject(paint.image_dc, previous_image);
    DeleteDC(paint.image_dc);
  }
  EndPaint(window, &ps);
}
