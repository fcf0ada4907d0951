#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "system/drives_native.h"
#include "system/file_system.h"

// "X:\dir\name" is the file of drive X: of the drive seam's table; a path without a drive letter
// is a host path. A drive letter the table lacks names nothing.
static bool Resolve(const char* path, std::string* host) {
  if (path[0] != '\0' && path[1] == ':') return NativeHostPath(path, host);
  *host = path;
  return true;
}

bool FileCreateDirectory(const char* path) {
  std::string host;
  return Resolve(path, &host) && mkdir(host.c_str(), 0777) == 0;
}

bool FileAppend(const char* path, const void* bytes, uint32_t length) {
  std::string host;
  if (!Resolve(path, &host)) return false;
  int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
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
