// A disk image file or a disk (a block device) as the FAT reader's bytes, opened read-only.
#ifndef KELVADO_TOOLS_FILE_BYTES_H
#define KELVADO_TOOLS_FILE_BYTES_H

#include <string>

#include "fat/volume.h"

class FileBytes : public ByteSource {
 public:
  ~FileBytes() override;
  // False, with the reason in *error, when `path` cannot be opened for reading or is neither a
  // file nor a block device.
  bool Open(const std::string& path, std::string* error);
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* buffer, size_t length) override;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

#endif
