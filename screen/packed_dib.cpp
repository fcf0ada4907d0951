#include "screen/packed_dib.h"

#include <cstdlib>

PackedDib* PackedDibCreate(uint32_t size) {
  PackedDib* dib = static_cast<PackedDib*>(std::malloc(sizeof(PackedDib)));
  if (dib == nullptr) return nullptr;
  dib->size = size;
  dib->data = static_cast<unsigned char*>(std::calloc(size > 0 ? size : 1, 1));
  if (dib->data == nullptr) {
    std::free(dib);
    return nullptr;
  }
  return dib;
}

void PackedDibFree(PackedDib* dib) {
  if (dib == nullptr) return;
  std::free(dib->data);
  std::free(dib);
}

static uint32_t Read16(const unsigned char* p) { return p[0] | p[1] << 8; }
static uint32_t Read32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

const uint32_t kCoreHeaderSize = 12;
const uint32_t kInfoHeaderSize = 40;
const uint32_t kMasksEnd = 52;  // the three bit-field masks: bytes 40..51

// Values of the compression field.
const uint32_t kUncompressed = 0;
const uint32_t kRunLength8 = 1;
const uint32_t kRunLength4 = 2;
const uint32_t kBitFields = 3;

// The fields of either header form that the layout needs.
namespace {
struct DibHeader {
  uint32_t size;
  int64_t width, height;
  uint32_t planes, bits, compression, image_size, colours_used;
};
}  // namespace

static bool ReadHeader(const PackedDib& dib, DibHeader* h) {
  const unsigned char* b = dib.data;
  if (dib.size < 4) return false;
  h->size = Read32(b);
  if ((h->size != kCoreHeaderSize && h->size < 16) || h->size > dib.size) return false;
  h->compression = h->image_size = h->colours_used = 0;
  if (h->size == kCoreHeaderSize) {
    h->width = Read16(b + 4);
    h->height = Read16(b + 6);
    h->planes = Read16(b + 8);
    h->bits = Read16(b + 10);
    return true;
  }
  h->width = static_cast<int32_t>(Read32(b + 4));
  h->height = static_cast<int32_t>(Read32(b + 8));
  h->planes = Read16(b + 12);
  h->bits = Read16(b + 14);
  if (h->size >= 20) h->compression = Read32(b + 16);
  if (h->size >= 24) h->image_size = Read32(b + 20);
  if (h->size >= 36) h->colours_used = Read32(b + 32);
  return true;
}

static bool FormatKnown(const DibHeader& h) {
  // A device-independent bitmap has one plane. GDIs differ on any other count: some ignore it,
  // others read |height| x align32(width x planes x bits) / 8 bytes of rows, more than the
  // block's rows hold. Such a picture is refused rather than handed to either.
  if (h.planes != 1) return false;
  bool core = h.size == kCoreHeaderSize;
  switch (h.bits) {
    case 1: case 4: case 8: case 24: break;
    case 16: case 32: if (core) return false; break;
    default: return false;
  }
  if (h.compression == kUncompressed) return true;
  if (h.size < kInfoHeaderSize || h.height < 0) return false;
  if (h.compression == kRunLength8) return h.bits == 8;
  if (h.compression == kRunLength4) return h.bits == 4;
  if (h.compression == kBitFields) return h.bits == 16 || h.bits == 32;
  return false;
}

// Bytes from the start of the block to the first pixel row.
static uint64_t PixelOffset(const DibHeader& h) {
  if (h.size == kCoreHeaderSize) return h.size + (h.bits == 24 ? 0 : 3ull << h.bits);
  uint64_t entries = h.colours_used;
  if (entries == 0 && h.bits <= 8) entries = 1ull << h.bits;
  uint64_t table_start = h.size;
  if (h.compression == kBitFields && table_start < kMasksEnd) table_start = kMasksEnd;
  return table_start + 4 * entries;
}

bool DibLayoutOf(const PackedDib& dib, DibLayout* layout) {
  DibHeader h;
  if (!ReadHeader(dib, &h) || !FormatKnown(h)) return false;
  uint64_t rows = h.height < 0 ? -h.height : h.height;
  if (h.width <= 0 || h.width > 65535 || rows == 0 || rows > 65535) return false;
  uint64_t offset = PixelOffset(h);
  uint64_t length;
  if (h.compression == kRunLength8 || h.compression == kRunLength4)
    length = h.image_size;
  else
    length = (static_cast<uint64_t>(h.width) * h.bits + 31) / 32 * 4 * rows;
  if (length == 0 || offset + length > dib.size) return false;
  layout->header_size = h.size;
  layout->pixel_offset = static_cast<uint32_t>(offset);
  layout->pixel_length = static_cast<uint32_t>(length);
  layout->width = static_cast<uint16_t>(h.width);
  layout->height = static_cast<uint16_t>(rows);
  return true;
}

bool DibPaintable(const PackedDib& dib) {
  if (dib.size < 4) return false;
  uint32_t size = Read32(dib.data);
  return size == kCoreHeaderSize || size >= kInfoHeaderSize;
}
