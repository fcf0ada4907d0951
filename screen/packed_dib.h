// PackedDib: a bitmap held as one heap block in the layout a bitmap file has after its 14-byte
// file header: the 40-byte BITMAPINFOHEADER, the colour table, then the pixel rows.
#ifndef KELVADO_SCREEN_PACKED_DIB_H
#define KELVADO_SCREEN_PACKED_DIB_H

#include <cstdint>

struct PackedDib {
  uint32_t size;        // bytes in data
  unsigned char* data;  // the block, from the info header on
};

// A block of `size` zero bytes; nullptr when memory runs out.
PackedDib* PackedDibCreate(uint32_t size);
// Frees the bitmap and its block; nullptr is fine.
void PackedDibFree(PackedDib* dib);

#endif
