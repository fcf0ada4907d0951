// The emulator's host natively: POSIX files and the standard library.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cardsim/host.h"
#include "platform/threads.h"

bool HostGetEnv(const char* name, char* value, size_t size) {
  const char* text = std::getenv(name);
  if (text == nullptr) return false;
  std::snprintf(value, size, "%s", text);
  return true;
}

void HostReport(const char* message) { std::fprintf(stderr, "cardsim: %s\n", message); }

struct ImageFile {
  int fd;
};

ImageFile* ImageOpen(const char* path, bool* read_only) {
  *read_only = false;
  int fd = open(path, O_RDWR);
  if (fd < 0) {
    fd = open(path, O_RDONLY);
    *read_only = true;
  }
  if (fd < 0) return nullptr;
  return new ImageFile{fd};
}

void ImageClose(ImageFile* image) {
  close(image->fd);
  delete image;
}

uint64_t ImageSize(ImageFile* image) {
  struct stat st;
  if (fstat(image->fd, &st) != 0 || st.st_size < 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

bool ImageRead(ImageFile* image, uint64_t offset, void* data, uint32_t length) {
  uint8_t* at = static_cast<uint8_t*>(data);
  while (length > 0) {
    ssize_t n = pread(image->fd, at, length, static_cast<off_t>(offset));
    if (n <= 0) return false;
    at += n;
    offset += static_cast<uint64_t>(n);
    length -= static_cast<uint32_t>(n);
  }
  return true;
}

bool ImageWrite(ImageFile* image, uint64_t offset, const void* data, uint32_t length) {
  const uint8_t* at = static_cast<const uint8_t*>(data);
  while (length > 0) {
    ssize_t n = pwrite(image->fd, at, length, static_cast<off_t>(offset));
    if (n <= 0) return false;
    at += n;
    offset += static_cast<uint64_t>(n);
    length -= static_cast<uint32_t>(n);
  }
  return true;
}

bool HostWriteFile(const char* folder, const char* name, const char* text) {
  std::string path = std::string(folder) + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fputs(text, file) >= 0;
  return std::fclose(file) == 0 && written;
}

bool HostRemountVolume(char, const char*) { return true; }

void HostSignalEvent(void* handle) { EventSet(static_cast<Event*>(handle)); }

// What a linked-in driver throws where the DLL raises a structured exception.
struct DriverException {};

void HostRaiseException() { throw DriverException(); }

void HostKeepLoaded() {}
