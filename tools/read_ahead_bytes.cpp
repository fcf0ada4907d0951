#include "tools/read_ahead_bytes.h"

#include <algorithm>
#include <cstring>

namespace {

// A read that starts at most this far after the last one ended goes on with it: the files of a
// card read back one after the other, a directory's cluster between them.
const uint64_t kOnwardGap = 64 << 10;

}  // namespace

ReadAheadBytes::ReadAheadBytes(ByteSource* source, size_t piece_bytes)
    : source_(source), piece_bytes_(piece_bytes), worker_(&ReadAheadBytes::Work, this) {}

ReadAheadBytes::~ReadAheadBytes() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void ReadAheadBytes::Work() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [this] { return stop_ || (next_wanted_ && !next_done_); });
    if (stop_) return;
    // next_ is the worker's alone until next_done_ is set.
    const uint64_t offset = next_.offset;
    uint8_t* bytes = next_.bytes.data();
    const size_t length = next_.bytes.size();
    hold.unlock();
    const bool ok = source_->Read(offset, bytes, length);
    hold.lock();
    next_.ok = ok;
    next_done_ = true;
    changed_.notify_all();
  }
}

void ReadAheadBytes::WaitForWorker(std::unique_lock<std::mutex>& hold) {
  changed_.wait(hold, [this] { return !next_wanted_ || next_done_; });
}

void ReadAheadBytes::Fill(Piece* piece, uint64_t offset) {
  piece->offset = offset;
  piece->bytes.resize(static_cast<size_t>(std::min<uint64_t>(piece_bytes_, Size() - offset)));
  piece->ok = source_->Read(offset, piece->bytes.data(), piece->bytes.size());
}

void ReadAheadBytes::StartNext() {
  const uint64_t at = current_.offset + current_.bytes.size();
  next_wanted_ = current_.ok && at < Size();
  if (!next_wanted_) return;
  next_.offset = at;
  next_.bytes.resize(static_cast<size_t>(std::min<uint64_t>(piece_bytes_, Size() - at)));
  next_.ok = false;
  next_done_ = false;
  changed_.notify_all();
}

bool ReadAheadBytes::Read(uint64_t offset, void* buffer, size_t length) {
  if (offset > Size() || length > Size() - offset) return false;
  std::unique_lock<std::mutex> hold(lock_);
  bool onward = last_end_ != UINT64_MAX && offset >= last_end_ && offset - last_end_ <= kOnwardGap;
  last_end_ = offset + length;
  auto* out = static_cast<uint8_t*>(buffer);
  while (length > 0) {
    if (current_.HoldsByte(offset)) {
      size_t piece = static_cast<size_t>(
          std::min<uint64_t>(length, current_.offset + current_.bytes.size() - offset));
      std::memcpy(out, current_.bytes.data() + (offset - current_.offset), piece);
      out += piece;
      offset += piece;
      length -= piece;
      onward = true;  // the rest goes on from what was given
      continue;
    }
    // The source is read by one thread at a time: the worker finishes first.
    WaitForWorker(hold);
    if (next_wanted_ && next_.HoldsByte(offset)) {
      std::swap(current_, next_);
    } else if (onward && length <= piece_bytes_) {
      Fill(&current_, offset);
    } else {
      return source_->Read(offset, out, length);
    }
    next_wanted_ = false;
    // A piece that could not be read whole: the read itself says what fails.
    if (!current_.ok) return source_->Read(offset, out, length);
    StartNext();
  }
  return true;
}
