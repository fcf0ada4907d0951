#include "tools/card/card_set.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "aspi/aspi.h"

namespace {

struct Card {
  int fd;
  uint64_t sectors;
  bool block_device;
};
std::vector<Card> cards;

Card* Reachable(int32_t adapter, int32_t target, uint32_t sector_size, uint32_t lba, uint32_t count) {
  if (adapter < 0 || static_cast<size_t>(adapter) >= cards.size() || target != 0 ||
      sector_size != kSectorSize)
    return nullptr;
  Card* card = &cards[static_cast<size_t>(adapter)];
  return card->fd >= 0 && uint64_t{lba} + count <= card->sectors ? card : nullptr;
}

bool ReadWriteCard(int fd, bool write, uint32_t lba, uint32_t count, void* buffer) {
  size_t length = size_t{count} * kSectorSize;
  off_t offset = static_cast<off_t>(lba) * kSectorSize;
  char* at = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t done = write ? pwrite(fd, at, length, offset) : pread(fd, at, length, offset);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    at += done;
    offset += done;
    length -= static_cast<size_t>(done);
  }
  return true;
}

// The geometry comes from the engine's own rules, as for the emulator's njata95 adapter.
int32_t SetGetDiskInfo(int32_t, int32_t, int32_t*, int32_t*) { return -1; }

int32_t SetRead(int32_t adapter, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                void* buffer) {
  Card* card = Reachable(adapter, target, size, lba, count);
  return card && ReadWriteCard(card->fd, false, lba, count, buffer) ? 0 : -1;
}

int32_t SetWrite(int32_t adapter, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                 const void* buffer) {
  Card* card = Reachable(adapter, target, size, lba, count);
  return card && ReadWriteCard(card->fd, true, lba, count, const_cast<void*>(buffer)) ? 0 : -1;
}

}  // namespace

int32_t CardSetAdd(int fd, uint64_t sectors, bool block_device) {
  cards.push_back({fd, sectors > 0x100000000ull ? 0x100000000ull : sectors, block_device});
  return static_cast<int32_t>(cards.size() - 1);
}

void CardSetInstall() { SectorTransferInstall(SetGetDiskInfo, SetRead, SetWrite); }

bool CardSetFlush(int32_t adapter, std::string* error) {
  if (adapter < 0 || static_cast<size_t>(adapter) >= cards.size() || cards[static_cast<size_t>(adapter)].fd < 0) {
    *error = "the card is no longer open";
    return false;
  }
  const Card& card = cards[static_cast<size_t>(adapter)];
  if (fsync(card.fd) != 0) {
    *error = std::string("writing out to the card failed: ") + std::strerror(errno);
    return false;
  }
  if (card.block_device)
    ioctl(card.fd, BLKFLSBUF, 0);
  else
    posix_fadvise(card.fd, 0, 0, POSIX_FADV_DONTNEED);
  return true;
}

void CardSetRemove(int32_t adapter) {
  if (adapter >= 0 && static_cast<size_t>(adapter) < cards.size())
    cards[static_cast<size_t>(adapter)].fd = -1;
}

void CardSetClear() {
  cards.clear();
  SectorTransferUseDevice();
}
