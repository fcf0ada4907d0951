// PackedDib: a bitmap held as one heap block in the layout a bitmap file has after its 14-byte
// file header: the bitmap header (12 bytes, or 16 and more), the colour table, then the pixel
// rows.
//
// A block read from a file is untrusted: DibLayoutOf works out where its parts lie and refuses a
// block that does not hold all of them, so that painting never hands GDI fewer bytes than GDI
// reads. The colour table of the short header is 3 bytes an entry, 2^bits entries; that of the
// long header 4 bytes an entry, the colours-used count of entries, or 2^bits when the count is 0
// and the picture has 8 bits a pixel or fewer. Pictures of 16 and 32 bits have no table beyond
// the colours-used count; their bit-field masks lie at bytes 40..51 of the block.
#ifndef KELVADO_SCREEN_PACKED_DIB_H
#define KELVADO_SCREEN_PACKED_DIB_H

#include <cstdint>

struct PackedDib {
  uint32_t size;        // bytes in data
  unsigned char* data;  // the block, from the bitmap header on
};

// Where the parts of a PackedDib lie.
struct DibLayout {
  uint32_t header_size;
  uint32_t pixel_offset;  // first byte of the pixel rows
  uint32_t pixel_length;  // bytes of pixel rows (of compressed data for run-length pictures)
  uint16_t width;
  uint16_t height;  // without the sign of a top-down picture
};

// A block of `size` zero bytes; nullptr when memory runs out.
PackedDib* PackedDibCreate(uint32_t size);
// Frees the bitmap and its block; nullptr is fine.
void PackedDibFree(PackedDib* dib);

// The layout of a block, or false when it is no picture this program can show: a header size below
// 12 or from 13 to 15; a planes count other than 1 (a device-independent bitmap has one plane, and
// GDIs that count planes would read more rows than the block holds); a width or height of 0 or
// above 65535; bits a pixel other than 1, 4, 8 and 24 (and 16 and 32 in the long header); a
// compression other than none, run-length with 8 or 4 bits, or bit fields with 16 or 32 bits
// (compressed pictures need a header of 40 bytes or more and cannot be top-down); or a block too
// short for the header, the colour table, the masks or the pixel rows.
bool DibLayoutOf(const PackedDib& dib, DibLayout* layout);

// GDI draws a picture whose header is the 12-byte one or 40 bytes and more; the long headers of
// 16 to 39 bytes are loaded but not painted.
bool DibPaintable(const PackedDib& dib);

#endif
