// Fuzzes the card engine over an in-memory card: any capacity up to 512 MiB, the host adapter's
// own geometry or any a driver may report, FAT16 or FAT32, with or without the data check, with
// failing sectors and an interrupt at any moment; and SetVolSerial over arbitrary card contents.
//
// Whatever happens, the engine must not write outside the card, must write sector 0 only last
// and only after a complete file system, and must answer only its documented results.
//
// Input: mode (bit 0 FAT32, bit 1 data check, bit 2 driver geometry, bit 3 serial, bit 4 large
// card), capacity (4 little-endian bytes, kept below 2^17, or 2^20 for a large card), heads,
// sectors per track, the transfer after which the user interrupts (0: never); then failing
// sectors (5 bytes each: bit 0 of the first chooses write or read, 4 bytes the sector) or, in
// serial mode, the card's sector 0 and the partition's boot sector.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_reset.h"
#include "engine/errors.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "platform/byte_order.h"

namespace {

std::map<uint32_t, std::array<uint8_t, 512>> card;
uint64_t card_sectors = 0;
std::set<uint32_t> bad_reads, bad_writes;
int32_t driver_heads = 0, driver_sectors = 0;
uint32_t transfers = 0, abort_after = 0;
Event* abort_event = nullptr;
bool wrote_sector_zero = false;
bool wrote_after_sector_zero = false;
uint32_t writes = 0;
std::set<uint32_t> written;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool Touches(const std::set<uint32_t>& bad, uint32_t lba, uint32_t count) {
  if (count == 0) return false;
  auto it = bad.lower_bound(lba);
  return it != bad.end() && uint64_t{*it} < uint64_t{lba} + count;
}

bool Reachable(int32_t target, uint32_t size, uint32_t lba, uint32_t count) {
  return target == 0 && size == kSectorSize && uint64_t{lba} + count <= card_sectors;
}

void CountTransfer() {
  if (++transfers == abort_after) EventSet(abort_event);
}

int32_t CardGetDiskInfo(int32_t, int32_t, int32_t* heads, int32_t* sectors_per_track) {
  if (driver_heads < 0) return -1;
  *heads = driver_heads;
  *sectors_per_track = driver_sectors;
  return 0;
}

int32_t CardReadSectors(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                        void* buffer) {
  CountTransfer();
  if (!Reachable(target, size, lba, count) || Touches(bad_reads, lba, count)) return -1;
  uint8_t* out = static_cast<uint8_t*>(buffer);
  // Single sectors are filled whole; longer reads (the checks, which never look at the data) get
  // only the sectors written so far.
  if (count == 1) std::memset(out, 0, kSectorSize);
  for (auto it = card.lower_bound(lba); it != card.end() && it->first - uint64_t{lba} < count; ++it)
    std::memcpy(out + size_t{it->first - lba} * kSectorSize, it->second.data(), kSectorSize);
  return 0;
}

int32_t CardWriteSectors(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                         const void* buffer) {
  CountTransfer();
  Require(Reachable(target, size, lba, count));  // never outside the card
  Require(count == 1);
  if (Touches(bad_writes, lba, count)) return -1;
  if (wrote_sector_zero) wrote_after_sector_zero = true;
  if (lba == 0) wrote_sector_zero = true;
  ++writes;
  written.insert(lba);
  std::memcpy(card[lba].data(), buffer, kSectorSize);
  return 0;
}

void Reset(uint64_t sectors) {
  SectorTransferInstall(CardGetDiskInfo, CardReadSectors, CardWriteSectors);
  card.clear();
  card_sectors = sectors;
  bad_reads.clear();
  bad_writes.clear();
  transfers = abort_after = writes = 0;
  wrote_sector_zero = wrote_after_sector_zero = false;
  written.clear();
  if (!abort_event) abort_event = EventCreate(true, false);
  EventReset(abort_event);
  ResetTargetIdentity();
  ResetEngine();
  AbortEvent = abort_event;
  AdapterNumber = 0;
  NewVolSerial = 1;
}

bool Has(const std::array<uint8_t, 512>& sector, uint32_t at, uint16_t value) {
  return GetLe16(sector.data() + at) == value;
}

void FuzzFormat(const uint8_t* data, size_t size, uint8_t mode) {
  for (; size >= 5; data += 5, size -= 5) {
    uint32_t sector = GetLe32(data + 1) % static_cast<uint32_t>(card_sectors + 16);
    (data[0] & 1 ? bad_writes : bad_reads).insert(sector);
  }
  Fat32Enabled = mode & 1;
  ChkDataArea = mode & 2 ? 1 : 0;
  int32_t result = CalcGeometry();
  if (result != 0) {
    Require(result == -1 && writes == 0);
    return;
  }
  Require(TargetCapacity < card_sectors);
  uint32_t sectors = BuildPartitionEntry();
  Require(uint64_t{NewPartition.start_lba} + sectors <= card_sectors);
  result = MakePartition(AdapterNumber);
  Require(result == kEngineOk || result == kEngineFailed || result == kEngineStopped ||
          result == kErrTargetTooSmall || (result >= kErrIplWrite && result <= kErrRootDirWrite));
  // Sector 0 is written exactly when the file system is complete (a sector 0 that then does not
  // read back fails with 601), and nothing after it.
  Require(wrote_sector_zero == (result == kEngineOk) ||
          (wrote_sector_zero && result == kErrIplWrite && bad_reads.count(0) == 1));
  Require(!wrote_after_sector_zero);
  if (result == 0) {
    const std::array<uint8_t, 512>& mbr = card[0];
    Require(Has(mbr, kBootSignature, 0xAA55) && mbr[kMbrPartitionTable + 4] == NewPartition.type);
    Require(Has(card[NewPartition.start_lba], kBootSignature, 0xAA55));
  }
}

void FuzzSerial(const uint8_t* data, size_t size) {
  std::array<uint8_t, 512> mbr{}, boot{};
  std::memcpy(mbr.data(), data, size < 512 ? size : 512);
  if (size > 512) std::memcpy(boot.data(), data + 512, size - 512 < 512 ? size - 512 : 512);
  card[0] = mbr;
  UnpackPartitionEntry(mbr.data() + kMbrPartitionTable, &NewPartition);
  DiskGeometry = {NewPartition.end_cylinder, NewPartition.end_head, NewPartition.end_sector};
  const uint32_t first = PartitionFirstSector(NewPartition);
  if (first < card_sectors) card[first] = boot;
  NewVolSerial = 0x5E5E5E5E;
  int32_t result = SetVolSerial(0);
  Require(result == 0 || result == -1);
  if (result != 0) return;
  // Only the boot sector and its backup inside the reserved sectors, and only their serial.
  const bool fat32 = NewPartition.type == kTypeFat32 || NewPartition.type == kTypeFat32Lba;
  std::array<uint8_t, 512> expected = boot;
  PutLe32(expected.data() + (fat32 ? kBs32VolId : kBs16VolId), NewVolSerial);
  std::set<uint32_t> allowed = {first};
  if (fat32) {
    uint32_t backup = GetLe16(boot.data() + kBpbBkBootSec);
    Require(backup > 0 && backup < GetLe16(boot.data() + kBpbRsvdSecCnt));
    allowed.insert(first + backup);
  }
  Require(written == allowed);
  for (uint32_t lba : written) Require(card[lba] == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const uint8_t mode = data[0];
  // Cards up to 64 MiB, or up to 512 MiB (FAT32 from 260 MiB) when mode bit 4 is set.
  const uint32_t capacity = GetLe32(data + 1) & (mode & 16 ? 0xFFFFF : 0x1FFFF);
  Reset(uint64_t{capacity} + 1);
  TargetCapacity = capacity;
  std::strcpy(HostAdapterName, mode & 4 ? "otherata" : "njata95");
  driver_heads = data[5];
  driver_sectors = data[6];
  abort_after = data[7];
  if (mode & 8)
    FuzzSerial(data + 8, size - 8);
  else
    FuzzFormat(data + 8, size - 8, mode);
  return 0;
}
