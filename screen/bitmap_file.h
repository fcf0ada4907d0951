// Loading a Windows bitmap file into a PackedDib, and a DisplayItem from a file.
#ifndef KELVADO_SCREEN_BITMAP_FILE_H
#define KELVADO_SCREEN_BITMAP_FILE_H

#include <cstdint>

#include "screen/display_item.h"
#include "screen/packed_dib.h"

// Reads the file: its 14-byte file header must begin with the letters B and M, and its total
// size field says how much of the file is the block (a longer file is read only that far). The
// block must hold a picture (DibLayoutOf). nullptr when the file cannot be opened, is shorter than
// its total size or holds no usable picture; `layout` is filled on success.
PackedDib* LoadBitmapFile(const char* path, DibLayout* layout);

// Sets the item's rectangle from screen fractions and loads the picture into it, with its path,
// pixel rows, size and the background value. 0, or -1 when the file cannot be loaded.
int32_t ItemFromFile(DisplayItem* item, const char* path, double x1, double y1, double x2,
                     double y2, int32_t background);

#endif
