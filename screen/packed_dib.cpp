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
