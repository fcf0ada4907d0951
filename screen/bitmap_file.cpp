#include "screen/bitmap_file.h"

#include "platform/files.h"
#include "platform/text.h"

const uint32_t kFileHeaderSize = 14;
const uint32_t kFileSignature = 0x4D42;  // "BM"

// The block behind the file header, checked; the file stays open for the caller to close.
static PackedDib* ReadBlock(ReadableFile* file, DibLayout* layout) {
  unsigned char head[kFileHeaderSize];
  if (FileRead(file, head, sizeof head) != sizeof head) return nullptr;
  if ((head[0] | head[1] << 8) != kFileSignature) return nullptr;
  uint32_t total = head[2] | head[3] << 8 | head[4] << 16 | static_cast<uint32_t>(head[5]) << 24;
  // A total beyond the end of the file could never be read: it is refused before any memory is
  // set aside for it.
  if (total < kFileHeaderSize || total > FileLength(file)) return nullptr;
  PackedDib* dib = PackedDibCreate(total - kFileHeaderSize);
  if (dib == nullptr) return nullptr;
  if (FileRead(file, dib->data, dib->size) != dib->size || !DibLayoutOf(*dib, layout)) {
    PackedDibFree(dib);
    return nullptr;
  }
  return dib;
}

PackedDib* LoadBitmapFile(const char* path, DibLayout* layout) {
  ReadableFile* file = FileOpenRead(path);
  if (file == nullptr) return nullptr;
  PackedDib* dib = ReadBlock(file, layout);
  FileClose(file);
  return dib;
}

int32_t ItemFromFile(DisplayItem* item, const char* path, double x1, double y1, double x2,
                     double y2, int32_t background) {
  SetItemRect(item, x1, y1, x2, y2);
  DibLayout layout;
  PackedDib* dib = LoadBitmapFile(path, &layout);
  if (dib == nullptr) return -1;
  TextCopy(item->bitmap_path, sizeof item->bitmap_path, path);
  item->bitmap = dib;
  item->pixels = dib->data + layout.pixel_offset;
  item->bitmap_width = layout.width;
  item->bitmap_height = layout.height;
  item->background = background;
  return 0;
}
