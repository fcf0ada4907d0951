// A card in a reader opened for the engine: its sector transfers, the flush and the close.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "aspi/aspi.h"
#include "tools/block_device.h"

namespace {

int device_fd = -1;
uint64_t device_sectors = 0;

bool Transfer(bool write, uint32_t lba, uint32_t count, void* buffer) {
  if (device_fd < 0 || uint64_t{lba} + count > device_sectors) return false;
  size_t length = size_t{count} * kSectorSize;
  off_t offset = static_cast<off_t>(lba) * kSectorSize;
  char* at = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t done = write ? pwrite(device_fd, at, length, offset) : pread(device_fd, at, length, offset);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    at += done;
    offset += done;
    length -= static_cast<size_t>(done);
  }
  return true;
}

int32_t DeviceDiskInfo(int32_t, int32_t, int32_t*, int32_t*) { return -1; }

int32_t DeviceRead(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                   void* buffer) {
  if (target != 0 || size != kSectorSize) return -1;
  return Transfer(false, lba, count, buffer) ? 0 : -1;
}

int32_t DeviceWrite(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                    const void* buffer) {
  if (target != 0 || size != kSectorSize) return -1;
  return Transfer(true, lba, count, const_cast<void*>(buffer)) ? 0 : -1;
}

}  // namespace

bool BlockDeviceOpen(const BlockDeviceInfo& info, std::string* error) {
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
    device_fd = fd;
    device_sectors = bytes / kSectorSize;
    if (device_sectors > 0x100000000ull) device_sectors = 0x100000000ull;
    TargetCapacity = static_cast<uint32_t>(device_sectors - 1);
    SectorTransferInstall(DeviceDiskInfo, DeviceRead, DeviceWrite);
    return true;
  }
  close(fd);
  return false;
}

bool BlockDeviceFlush(std::string* error) {
  if (fsync(device_fd) != 0) {
    *error = std::string("writing out to the card failed: ") + std::strerror(errno);
    return false;
  }
  // The buffer cache's copy goes, so the comparison reads the card itself.
  ioctl(device_fd, BLKFLSBUF, 0);
  return true;
}

bool BlockDeviceClose(std::string* error, std::string* note) {
  bool ok = device_fd < 0 || BlockDeviceFlush(error);
  if (device_fd >= 0 && ioctl(device_fd, BLKRRPART) != 0)
    *note = std::string("the kernel did not read the new partition table: ") + std::strerror(errno) +
            " (take the card out and put it back)";
  if (device_fd >= 0) close(device_fd);
  device_fd = -1;
  device_sectors = 0;
  SectorTransferUseDevice();
  return ok;
}
