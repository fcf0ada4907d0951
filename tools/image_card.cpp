#include "tools/image_card.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/aspi/aspi.h"

ImageCardObserver ImageCardWatch = nullptr;

static int image_fd = -1;
static uint64_t image_sectors = 0;
static std::vector<SectorRange> bad_reads;
static std::vector<SectorRange> bad_writes;
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
  return true;
}

void ImageCardClose() {
  if (image_fd >= 0) close(image_fd);
  image_fd = -1;
  image_sectors = 0;
}

uint64_t ImageCardSectors() { return image_sectors; }

static bool ParseNumber(const char** p, uint32_t* out) {
  const char* s = *p;
  if (*s < '0' || *s > '9') return false;
  uint64_t value = 0;
  while (*s >= '0' && *s <= '9') {
    value = value * 10 + static_cast<uint64_t>(*s - '0');
    if (value > 0xFFFFFFFFull) return false;
    ++s;
  }
  *out = static_cast<uint32_t>(value);
  *p = s;
  return true;
}

bool ParseSectorList(const char* text, std::vector<SectorRange>* ranges) {
  ranges->clear();
  const char* p = text;
  for (;;) {
    SectorRange range;
    if (!ParseNumber(&p, &range.first)) break;
    range.last = range.first;
    if (*p == '-') {
      ++p;
      if (!ParseNumber(&p, &range.last) || range.last < range.first) break;
    }
    ranges->push_back(range);
    if (*p == '\0') return true;
    if (*p != ',') break;
    ++p;
  }
  ranges->clear();
  return false;
}

// Kept sorted and merged, so that a transfer is checked with one search.
static void SetRanges(std::vector<SectorRange>* target, const std::vector<SectorRange>& ranges) {
  std::vector<SectorRange> sorted = ranges;
  std::sort(sorted.begin(), sorted.end(),
            [](const SectorRange& a, const SectorRange& b) { return a.first < b.first; });
  target->clear();
  for (const SectorRange& r : sorted) {
    if (!target->empty() && r.first <= uint64_t{target->back().last} + 1)
      target->back().last = std::max(target->back().last, r.last);
    else
      target->push_back(r);
  }
}

void ImageCardFailReads(const std::vector<SectorRange>& ranges) { SetRanges(&bad_reads, ranges); }
void ImageCardFailWrites(const std::vector<SectorRange>& ranges) { SetRanges(&bad_writes, ranges); }

void ImageCardSetDiskInfo(int32_t heads, int32_t sectors_per_track) {
  disk_heads = heads;
  disk_sectors_per_track = sectors_per_track;
}

// True when [lba, lba + count) touches a listed sector.
static bool Touches(const std::vector<SectorRange>& ranges, uint32_t lba, uint32_t count) {
  if (count == 0 || ranges.empty()) return false;
  uint64_t last = uint64_t{lba} + count - 1;
  // The first range that does not end before lba.
  auto it = std::lower_bound(ranges.begin(), ranges.end(), lba,
                             [](const SectorRange& r, uint32_t v) { return r.last < v; });
  return it != ranges.end() && it->first <= last;
}

// A transfer the image can take: target 0, 512-byte sectors, inside the image.
static bool Reachable(int32_t target, uint32_t sector_size, uint32_t lba, uint32_t count) {
  return image_fd >= 0 && target == 0 && sector_size == kSectorSize &&
         uint64_t{lba} + count <= image_sectors;
}

static bool Transfer(bool write, uint32_t lba, uint32_t count, void* buffer) {
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

int32_t GetDiskInfo(int32_t, int32_t target, int32_t* heads, int32_t* sectors_per_track) {
  if (target != 0 || disk_heads == 0) return -1;
  *heads = disk_heads;
  *sectors_per_track = disk_sectors_per_track;
  return 0;
}

int32_t ReadSectors(int32_t, int32_t target, uint32_t lba, uint32_t sector_size, uint32_t count,
                    void* buffer) {
  if (ImageCardWatch) ImageCardWatch(false, lba, count);
  if (!Reachable(target, sector_size, lba, count) || Touches(bad_reads, lba, count)) return -1;
  return Transfer(false, lba, count, buffer) ? 0 : -1;
}

int32_t WriteSectors(int32_t, int32_t target, uint32_t lba, uint32_t sector_size, uint32_t count,
                     const void* buffer) {
  if (ImageCardWatch) ImageCardWatch(true, lba, count);
  if (!Reachable(target, sector_size, lba, count) || Touches(bad_writes, lba, count)) return -1;
  return Transfer(true, lba, count, const_cast<void*>(buffer)) ? 0 : -1;
}
