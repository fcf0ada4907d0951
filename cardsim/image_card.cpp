#include "cardsim/image_card.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "aspi/aspi.h"

ImageCardObserver ImageCardWatch = nullptr;

static int32_t ImageGetDiskInfo(int32_t, int32_t target, int32_t* heads,
                                int32_t* sectors_per_track);
static int32_t ImageReadSectors(int32_t, int32_t target, uint32_t lba, uint32_t sector_size,
                                uint32_t count, void* buffer);
static int32_t ImageWriteSectors(int32_t, int32_t target, uint32_t lba, uint32_t sector_size,
                                 uint32_t count, const void* buffer);

static int image_fd = -1;
static uint64_t image_sectors = 0;
static SectorList bad_reads = {};
static SectorList bad_writes = {};
static int32_t disk_heads = 0;
static int32_t disk_sectors_per_track = 0;

bool ImageCardOpen(const char* path, std::string* error) {
  ImageCardClose();
  int fd = open(path, O_RDWR);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    *error = std::string(path) + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  uint64_t sectors = static_cast<uint64_t>(st.st_size) / kSectorSize;
  if (sectors == 0 || sectors > 0x100000000ull) {
    *error = std::string(path) + ": needs 1 to 2^32 sectors of 512 bytes";
    close(fd);
    return false;
  }
  image_fd = fd;
  image_sectors = sectors;
  TargetCapacity = static_cast<uint32_t>(sectors - 1);
  SectorTransferInstall(ImageGetDiskInfo, ImageReadSectors, ImageWriteSectors);
  return true;
}

void ImageCardClose() {
  if (image_fd >= 0) SectorTransferUseDevice();
  if (image_fd >= 0) close(image_fd);
  image_fd = -1;
  image_sectors = 0;
}

uint64_t ImageCardSectors() { return image_sectors; }

void ImageCardFailReads(const SectorList& list) { bad_reads = list; }
void ImageCardFailWrites(const SectorList& list) { bad_writes = list; }

void ImageCardSetDiskInfo(int32_t heads, int32_t sectors_per_track) {
  disk_heads = heads;
  disk_sectors_per_track = sectors_per_track;
}

// A transfer the image can take: target 0, 512-byte sectors, inside the image.
static bool Reachable(int32_t target, uint32_t sector_size, uint32_t lba, uint32_t count) {
  return image_fd >= 0 && target == 0 && sector_size == kSectorSize &&
         uint64_t{lba} + count <= image_sectors;
}

static bool ReadWriteImage(bool write, uint32_t lba, uint32_t count, void* buffer) {
  size_t length = size_t{count} * kSectorSize;
  off_t offset = static_cast<off_t>(lba) * kSectorSize;
  char* p = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t done = write ? pwrite(image_fd, p, length, offset) : pread(image_fd, p, length, offset);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    p += done;
    offset += done;
    length -= static_cast<size_t>(done);
  }
  return true;
}

static int32_t ImageGetDiskInfo(int32_t, int32_t target, int32_t* heads,
                                int32_t* sectors_per_track) {
  if (target != 0 || disk_heads == 0) return -1;
  *heads = disk_heads;
  *sectors_per_track = disk_sectors_per_track;
  return 0;
}

static int32_t ImageReadSectors(int32_t, int32_t target, uint32_t lba, uint32_t sector_size,
                                uint32_t count, void* buffer) {
  if (ImageCardWatch) ImageCardWatch(false, lba, count);
  if (!Reachable(target, sector_size, lba, count) || SectorListTouches(bad_reads, lba, count)) return -1;
  return ReadWriteImage(false, lba, count, buffer) ? 0 : -1;
}

static int32_t ImageWriteSectors(int32_t, int32_t target, uint32_t lba, uint32_t sector_size,
                                 uint32_t count, const void* buffer) {
  if (ImageCardWatch) ImageCardWatch(true, lba, count);
  if (!Reachable(target, sector_size, lba, count) || SectorListTouches(bad_writes, lba, count)) return -1;
  return ReadWriteImage(true, lba, count, const_cast<void*>(buffer)) ? 0 : -1;
}
