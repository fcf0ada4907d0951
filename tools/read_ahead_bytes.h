// A byte source read ahead on a thread of its own. While the reader works on the bytes it was
// given (a card read back is compared with digests of what was written), the bytes after them
// are already being read, so the reading of the card and the comparison overlap. Reads that
// jump about (the directories of a tree) go straight to the source and start no read-ahead.
//
// The source is read by one thread at a time: the worker only while the reader waits for it or
// works on bytes already given. Only for a source nothing writes while it is read.
#ifndef KELVADO_TOOLS_READ_AHEAD_BYTES_H
#define KELVADO_TOOLS_READ_AHEAD_BYTES_H

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/fat_volume.h"

class ReadAheadBytes : public ByteSource {
 public:
  // Reads `source` ahead in pieces of `piece_bytes`.
  explicit ReadAheadBytes(ByteSource* source, size_t piece_bytes = 4 << 20);
  ~ReadAheadBytes() override;
  uint64_t Size() const override { return source_->Size(); }
  bool Read(uint64_t offset, void* buffer, size_t length) override;

 private:
  struct Piece {
    uint64_t offset = 0;
    std::vector<uint8_t> bytes;
    bool ok = false;
    bool HoldsByte(uint64_t at) const {
      return ok && at >= offset && at - offset < bytes.size();
    }
  };
  // Reads [offset, offset + piece) into *piece on the calling thread.
  void Fill(Piece* piece, uint64_t offset);
  // Hands the piece after `current_` to the worker (the lock held).
  void StartNext();
  void WaitForWorker(std::unique_lock<std::mutex>& hold);
  void Work();

  ByteSource* source_;
  const size_t piece_bytes_;
  Piece current_;      // the reader's
  Piece next_;         // the worker's while next_wanted_ and not next_done_
  bool next_wanted_ = false;
  bool next_done_ = false;
  bool stop_ = false;
  uint64_t last_end_ = UINT64_MAX;  // where the last read ended
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread worker_;
};

#endif
