#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "system/file_system.h"

bool FileCreateDirectory(const char* path) { return mkdir(path, 0777) == 0; }

bool FileAppend(const char* path, const void* bytes, uint32_t length) {
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND, 0666);
  if (fd < 0) return false;
  const char* next = static_cast<const char*>(bytes);
  uint32_t left = length;
  while (left > 0) {
    ssize_t written = write(fd, next, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    next += written;
    left -= static_cast<uint32_t>(written);
  }
  close(fd);
  return left == 0;
}
