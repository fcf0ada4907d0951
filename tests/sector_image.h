// The card images the fuzzers are given: arbitrary bytes, or a sparse image of chosen sectors,
// so that a fuzzer can reach a whole card's structures without a whole card's bytes.
//
// Input: a mode byte. Mode bit 0 clear: the rest is the image itself. Set: a sparse image whose
// size in sectors follows (4 little-endian bytes, at most `max_sectors`), then records of a
// sector number (4 little-endian bytes, taken modulo the size) and that sector's 512 bytes;
// sectors not given are zero.
//
// Every read must stay inside the image: one that does not ends the process (a finding).
#ifndef KELVADO_TESTS_SECTOR_IMAGE_H
#define KELVADO_TESTS_SECTOR_IMAGE_H

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "fat/volume.h"
#include "platform/byte_order.h"

class SectorImage : public ByteSource {
 public:
  // False when the input holds no image.
  bool Decode(const uint8_t* data, size_t size, uint32_t max_sectors) {
    if (size < 1) return false;
    if ((data[0] & 1) == 0) {
      raw_ = data + 1;
      size_ = size - 1;
      return true;
    }
    if (size < 5) return false;
    sparse_ = true;
    uint32_t sectors = GetLe32(data + 1);
    if (sectors == 0 || sectors > max_sectors) return false;
    size_ = uint64_t{sectors} * 512;
    for (size_t at = 5; at + 4 <= size; at += 4 + 512) {
      std::vector<uint8_t> content(512, 0);
      size_t have = size - at - 4 < 512 ? size - at - 4 : 512;
      std::memcpy(content.data(), data + at + 4, have);
      sectors_[GetLe32(data + at) % sectors] = content;
    }
    return true;
  }

  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* buffer, size_t length) override {
    if (offset > size_ || length > size_ - offset) std::abort();  // never outside the image
    uint8_t* out = static_cast<uint8_t*>(buffer);
    if (!sparse_) {
      std::memcpy(out, raw_ + offset, length);
      return true;
    }
    while (length > 0) {
      uint64_t sector = offset / 512;
      size_t within = static_cast<size_t>(offset % 512);
      size_t piece = 512 - within < length ? 512 - within : length;
      auto it = sectors_.find(sector);
      if (it == sectors_.end())
        std::memset(out, 0, piece);
      else
        std::memcpy(out, it->second.data() + within, piece);
      out += piece;
      offset += piece;
      length -= piece;
    }
    return true;
  }

 private:
  bool sparse_ = false;
  const uint8_t* raw_ = nullptr;
  uint64_t size_ = 0;
  std::map<uint64_t, std::vector<uint8_t>> sectors_;
};

#endif
