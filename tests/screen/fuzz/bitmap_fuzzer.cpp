// Fuzzes the bitmap loader and the paint of a loaded picture: the input's first byte chooses the
// screen size and whether the item is a background picture, the rest is written to a file and
// loaded as a bitmap file. A loaded picture is appended to the DisplayList and painted through a
// canvas that reads every byte GDI would read for it (header, colour table or masks, pixel rows),
// so the sanitizers catch any read outside the block.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "screen/bitmap_file.h"
#include "screen/display_list.h"
#include "screen/paint.h"

static void Check(bool condition) {
  if (!condition) std::abort();
}

static uint32_t Read16(const unsigned char* p) { return p[0] | p[1] << 8; }
static uint32_t Read32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

static volatile unsigned sink;

static void Touch(const unsigned char* from, const unsigned char* to) {
  unsigned sum = 0;
  for (const unsigned char* p = from; p < to; ++p) sum += *p;
  sink = sum;
}

// What GDI reads of a picture handed to it, worked out from the header alone as GDI does: the
// header, the colour table right behind it (or the masks at bytes 40..51), and the pixel rows
// from the item's pixel pointer, |height| rows of align32(width x planes x bits) / 8 bytes, as
// the GDIs that count the planes read them.
static void ReadAsGdiDoes(const DisplayItem& item) {
  const PackedDib& dib = *item.bitmap;
  const unsigned char* block = dib.data;
  const unsigned char* end = block + dib.size;
  Check(dib.size >= 12);
  uint32_t header = Read32(block);
  Check(header <= dib.size);
  uint64_t table_end;
  uint64_t width, rows, planes, bits, compression = 0;
  if (header == 12) {
    width = Read16(block + 4);
    rows = Read16(block + 6);
    planes = Read16(block + 8);
    bits = Read16(block + 10);
    table_end = 12 + (bits <= 8 ? 3ull << bits : 0);
  } else {
    Check(header >= 16);
    int32_t height = static_cast<int32_t>(Read32(block + 8));
    width = Read32(block + 4);
    rows = height < 0 ? -static_cast<int64_t>(height) : height;
    planes = Read16(block + 12);
    bits = Read16(block + 14);
    if (header >= 20) compression = Read32(block + 16);
    uint64_t used = header >= 36 ? Read32(block + 32) : 0;
    uint64_t entries = used != 0 ? used : bits <= 8 ? 1ull << bits : 0;
    table_end = header + 4 * entries;
    if (compression == 3 && table_end < 52) table_end = 52;
  }
  Check(width == item.bitmap_width && rows == item.bitmap_height);
  Check(table_end <= dib.size);
  Touch(block, block + table_end);
  uint64_t stride = (width * planes * bits + 31) / 32 * 4;
  uint64_t pixels = compression == 1 || compression == 2 ? Read32(block + 20) : stride * rows;
  Check(item.pixels >= block + table_end && item.pixels <= end);
  Check(pixels <= static_cast<uint64_t>(end - item.pixels));
  Touch(item.pixels, item.pixels + pixels);
}

static const PaintCanvas kCanvas = {
    nullptr,
    [](void*, int32_t, int32_t) {},
    [](void*, const DisplayItem& item, int32_t, int32_t) {
      Check(item.background == 0);
      if (DibPaintable(*item.bitmap)) ReadAsGdiDoes(item);
    },
    [](void*, const PaintFont&) {},
    [](void*, const char*) { return 0; },
    [](void*, int32_t, int32_t, const char*, uint32_t) {},
    [](void*) {},
    [](void*, int32_t, int32_t) {},
};

// The file each input is written to, removed when the fuzzer ends.
namespace {
struct InputFile {
  std::string path = "/tmp/kelvado-bitmap-fuzzer-" + std::to_string(getpid()) + ".bmp";
  ~InputFile() { unlink(path.c_str()); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const InputFile input;
  const std::string& path = input.path;
  if (size < 1) return 0;
  ScreenWidth = 16 * ((data[0] & 0x3F) + 1);
  ScreenHeight = 12 * ((data[0] & 0x3F) + 1);
  int32_t background = data[0] >> 7;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);

  DisplayItem item;
  ResetItem(&item);
  if (ItemFromFile(&item, path.c_str(), 0.0, 0.0, 1.0, 1.0, background) == 0) {
    Check(item.bitmap != nullptr && item.background == background);
    if (AppendItem(&DisplayList, &item) != 0) PackedDibFree(item.bitmap);
  } else {
    Check(item.bitmap == nullptr);
  }
  PaintScreen(kCanvas);
  ReleaseDrawingBuffers();
  return 0;
}
