// Reading a card's sectors as bytes.
#include "fat/card_bytes.h"

#include <algorithm>
#include <cstring>

#include "aspi/aspi.h"

namespace {

// Transfers of at most this many bytes.
const uint32_t kChunkBytes = 1 << 20;

}  // namespace

bool CardBytes::Read(uint64_t offset, void* buffer, size_t length) {
  if (offset > Size() || length > Size() - offset) return false;
  uint8_t* out = static_cast<uint8_t*>(buffer);
  uint8_t sector[512];
  // Small reads (directories, small files, one after the other) come from a window of the card
  // read ahead in one transfer. The window grows while the reads go on where it ended and starts
  // small again elsewhere, so that directories scattered over the card are read without the
  // files around them.
  if (length < kChunkBytes / 4) {
    const uint64_t end = cache_offset_ + cache_.size();
    if (cache_.empty() || offset < cache_offset_ || offset + length > end) {
      const bool onward = !cache_.empty() && offset >= end && offset < end + window_;
      window_ = onward ? std::min<uint64_t>(window_ * 2, kChunkBytes) : kFirstWindowBytes;
      uint64_t first = offset / 4096 * 4096;
      uint64_t bytes = std::max<uint64_t>(window_, (offset + length - first + 4095) / 4096 * 4096);
      bytes = std::min<uint64_t>(bytes, Size() - first);
      cache_.assign(static_cast<size_t>(bytes), 0);
      cache_offset_ = first;
      if (ReadSectors(adapter_, 0, static_cast<uint32_t>(first / 512), kSectorSize,
                      static_cast<uint32_t>(bytes / 512), cache_.data()) != 0) {
        cache_.clear();
        return false;
      }
    }
    std::memcpy(out, &cache_[static_cast<size_t>(offset - cache_offset_)], length);
    return true;
  }
  while (length > 0) {
    uint64_t lba = offset / 512;
    uint32_t within = static_cast<uint32_t>(offset % 512);
    if (within == 0 && length >= 512) {
      // Whole sectors straight into the buffer, at most 65,535 a transfer.
      uint64_t count = std::min<uint64_t>(length / 512, 2048);
      if (ReadSectors(adapter_, 0, static_cast<uint32_t>(lba), kSectorSize,
                      static_cast<uint32_t>(count), out) != 0)
        return false;
      size_t done = static_cast<size_t>(count * 512);
      out += done;
      offset += done;
      length -= done;
      continue;
    }
    if (ReadSectors(adapter_, 0, static_cast<uint32_t>(lba), kSectorSize, 1, sector) != 0)
      return false;
    size_t piece = std::min<size_t>(512 - within, length);
    std::memcpy(out, sector + within, piece);
    out += piece;
    offset += piece;
    length -= piece;
  }
  return true;
}
