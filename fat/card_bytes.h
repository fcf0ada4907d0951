// A card's sectors as bytes for the FAT reader, read through the sector transfers of aspi/aspi.h.
#ifndef KELVADO_FAT_CARD_BYTES_H
#define KELVADO_FAT_CARD_BYTES_H

#include <cstdint>
#include <vector>

#include "fat/volume.h"

// The card's sectors as a byte source for the reader (512-byte transfers of target 0 of
// `adapter`; `sectors` of them). Small reads are served from a window read ahead, which grows
// while they go on one after the other; it is only for a card nothing else writes while it is
// read.
class CardBytes : public ByteSource {
 public:
  CardBytes(int32_t adapter, uint64_t sectors) : adapter_(adapter), sectors_(sectors) {}
  uint64_t Size() const override { return sectors_ * 512; }
  bool Read(uint64_t offset, void* buffer, size_t length) override;

 private:
  int32_t adapter_;
  uint64_t sectors_;
  static const uint64_t kFirstWindowBytes = 64 << 10;
  std::vector<uint8_t> cache_;  // read ahead from cache_offset_
  uint64_t cache_offset_ = 0;
  uint64_t window_ = kFirstWindowBytes;
};

#endif
