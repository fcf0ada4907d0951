#include "tools/card/file_bytes.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FileBytes::~FileBytes() {
  if (fd_ >= 0) close(fd_);
}

bool FileBytes::Open(const std::string& path, std::string* error) {
  // Read-only, never to be written; O_NONBLOCK so that a FIFO put in its place cannot hold the
  // open up (it is refused below).
  fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  if (fd_ < 0 || fstat(fd_, &st) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode) && !S_ISBLK(st.st_mode)) {
    *error = "is neither an image file nor a disk";
    return false;
  }
  size_ = static_cast<uint64_t>(st.st_size);
  // A block device (a card in a reader, a loop device) reports its size to the ioctl only.
  uint64_t bytes = 0;
  if (S_ISBLK(st.st_mode) && ioctl(fd_, BLKGETSIZE64, &bytes) == 0) size_ = bytes;
  return true;
}

bool FileBytes::Read(uint64_t offset, void* buffer, size_t length) {
  if (offset > size_ || length > size_ - offset) return false;
  char* at = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t n = pread(fd_, at, length, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    offset += static_cast<uint64_t>(n);
    length -= static_cast<size_t>(n);
  }
  return true;
}
