// The read-ahead of a card read back: every read gives the source's bytes (or fails where the
// source fails), whatever the order of reads, the source is never read by two threads at once,
// and reads one after the other read the source about once.
#include "tools/read_ahead_bytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <vector>

namespace {

class PatternBytes : public ByteSource {
 public:
  explicit PatternBytes(uint64_t size) : size_(size) {}
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* buffer, size_t length) override {
    EXPECT_EQ(in_flight_.fetch_add(1), 0) << "the source is read by two threads at once";
    bool ok = offset + length <= size_ && !(offset < bad_end && offset + length > bad_first);
    if (ok) {
      auto* out = static_cast<uint8_t*>(buffer);
      for (size_t i = 0; i < length; ++i) out[i] = Byte(offset + i);
    }
    read_bytes += length;
    in_flight_.fetch_sub(1);
    return ok;
  }
  static uint8_t Byte(uint64_t at) { return static_cast<uint8_t>(at * 131 + (at >> 16)); }

  uint64_t bad_first = 0, bad_end = 0;  // reads touching [bad_first, bad_end) fail
  std::atomic<uint64_t> read_bytes{0};

 private:
  uint64_t size_;
  std::atomic<int> in_flight_{0};
};

bool Same(const std::vector<uint8_t>& bytes, uint64_t offset) {
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != PatternBytes::Byte(offset + i)) return false;
  return true;
}

}  // namespace

TEST(ReadAhead, ReadsGiveTheSourcesBytesInAnyOrder) {
  const uint64_t size = (48 << 20) + 12345;
  PatternBytes source(size);
  std::mt19937_64 random(7);
  {
    ReadAheadBytes ahead(&source, 1 << 20);
    // Files one after the other, a directory's cluster between some, as a card is read back.
    uint64_t at = 0;
    while (at < size) {
      size_t length = static_cast<size_t>(std::min<uint64_t>(random() % (300 << 10) + 1, size - at));
      std::vector<uint8_t> bytes(length);
      ASSERT_TRUE(ahead.Read(at, bytes.data(), length)) << at;
      ASSERT_TRUE(Same(bytes, at)) << at;
      at += length + (random() % 4 == 0 ? 32768 : 0);
    }
    // Read one after the other, the source is read about once.
    EXPECT_LT(source.read_bytes.load(), size + (4 << 20));
  }
  ReadAheadBytes ahead(&source, 1 << 20);
  for (int i = 0; i < 2000; ++i) {
    // Jumps, reads larger than a piece, reads at the very end.
    uint64_t offset = i % 50 == 0 ? size - (i % 7) : random() % size;
    size_t length = static_cast<size_t>(std::min<uint64_t>(random() % (i % 10 == 0 ? 3 << 20 : 9000), size - offset));
    std::vector<uint8_t> bytes(length);
    ASSERT_TRUE(ahead.Read(offset, bytes.data(), length)) << offset;
    ASSERT_TRUE(Same(bytes, offset)) << offset;
  }
  uint8_t byte;
  EXPECT_FALSE(ahead.Read(size, &byte, 1));
  EXPECT_FALSE(ahead.Read(UINT64_MAX, &byte, 1));
}

TEST(ReadAhead, WhatTheSourceCannotReadFailsAndNothingElse) {
  PatternBytes source(16 << 20);
  source.bad_first = (5 << 20) + 100;
  source.bad_end = (5 << 20) + 600;
  ReadAheadBytes ahead(&source, 1 << 20);
  std::vector<uint8_t> bytes(4096);
  // Going on through the card: the piece holding the bad bytes fails to read ahead, and only
  // the read that touches them fails.
  for (uint64_t at = 0; at + bytes.size() <= (16u << 20); at += bytes.size()) {
    bool touches = at < source.bad_end && at + bytes.size() > source.bad_first;
    ASSERT_EQ(ahead.Read(at, bytes.data(), bytes.size()), !touches) << at;
    if (!touches) {
      ASSERT_TRUE(Same(bytes, at)) << at;
    }
  }
}
