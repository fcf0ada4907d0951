// A card in a reader opened for writing, and closed with its new partition table read.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "tools/card/block_device.h"

bool BlockDeviceOpen(const BlockDeviceInfo& info, int* fd_out, uint64_t* bytes_out,
                     std::string* error) {
  // O_EXCL on a block device: refused while a file system is mounted from it or another program
  // holds it exclusively.
  int fd = open(info.path.c_str(), O_RDWR | O_EXCL | O_CLOEXEC);
  if (fd < 0) {
    *error = info.path + " cannot be opened exclusively: " + std::strerror(errno);
    return false;
  }
  // The device opened must be the one judged: a path can be made to name another in between.
  struct stat st;
  unsigned ma = 0, mi = 0;
  std::ifstream numbers("/sys/class/block/" + info.name + "/dev");
  char colon = 0;
  bool judged = fstat(fd, &st) == 0 && S_ISBLK(st.st_mode) && (numbers >> ma >> colon >> mi) &&
                major(st.st_rdev) == ma && minor(st.st_rdev) == mi;
  uint64_t bytes = 0;
  int sector_bytes = 0;
  if (!judged) {
    *error = info.path + " is no longer the device " + info.name + " that was judged";
  } else if (ioctl(fd, BLKSSZGET, &sector_bytes) != 0 || sector_bytes != 512) {
    *error = info.path + ": its logical sectors are not 512 bytes";
  } else if (ioctl(fd, BLKGETSIZE64, &bytes) != 0 || bytes < 512) {
    *error = info.path + ": its size cannot be read";
  } else {
    *fd_out = fd;
    *bytes_out = bytes;
    return true;
  }
  close(fd);
  return false;
}

void BlockDeviceClose(int fd, std::string* note) {
  if (ioctl(fd, BLKRRPART) != 0)
    *note = std::string("the kernel did not read the new partition table: ") + std::strerror(errno) +
            " (take the card out and put it back)";
  close(fd);
}
