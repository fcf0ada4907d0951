// Fuzzes the partition scan over arbitrary card contents on an in-memory card: master boot records,
// chains of extended boot records (long, looping, pointing outside the card), boot sectors with
// any field values and root directories with or without an end.
//
// Whatever the card holds, the scan must never write, never read more than 26 tables, step the
// bar once per table, and answer only its documented results; the sanitizers watch the buffers.
//
// Input: mode (bit 0 FAT32 enabled, bit 1 the driver's geometry instead of njata95's, bit 2
// sectors not given are filled with the fill byte instead of zeros), the driver's heads and
// sectors per track, the fill byte, the capacity (2 little-endian bytes: sectors - 1); then
// records of a sector number (2 little-endian bytes) and that sector's 512 bytes (a short last
// record is padded with zeros).
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

#include "aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "platform/byte_order.h"
#include "platform/window_native.h"

namespace {

std::map<uint32_t, std::array<uint8_t, 512>> card;
uint32_t card_sectors = 0;
uint8_t fill = 0;
int32_t driver_heads = 0, driver_sectors = 0;
uint32_t reads = 0;
uint32_t steps = 0;

void Require(bool condition) {
  if (!condition) std::abort();
}

// A report that counts the bar's steps.
const EngineReport kStepCounter = {nullptr, nullptr, nullptr, nullptr, nullptr,
                                   [](void*) { ++steps; }, nullptr, nullptr, nullptr};

int32_t CardGetDiskInfo(int32_t, int32_t, int32_t* heads, int32_t* sectors_per_track) {
  *heads = driver_heads;
  *sectors_per_track = driver_sectors;
  return 0;
}

int32_t CardReadSectors(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                        void* buffer) {
  ++reads;
  Require(target == 0 && size == kSectorSize && count == 1);
  if (lba >= card_sectors) return -1;
  auto it = card.find(lba);
  if (it == card.end())
    std::memset(buffer, fill, kSectorSize);
  else
    std::memcpy(buffer, it->second.data(), kSectorSize);
  return 0;
}

int32_t CardWriteSectors(int32_t, int32_t, uint32_t, uint32_t, uint32_t, const void*) {
  std::abort();  // the scan never writes
}

bool ScanReads(const PartitionInfo& p) {
  return IsFat16Type(p.type) || IsFat32Type(p.type) || IsLinkType(p.type);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const uint8_t mode = data[0];
  // Filled cards stay small: a FAT32 root directory without an end is read to the card's end.
  const uint32_t capacity = GetLe16(data + 4) & (mode & 4 ? 0x0FFF : 0xFFFF);
  SectorTransferInstall(CardGetDiskInfo, CardReadSectors, CardWriteSectors);
  card.clear();
  card_sectors = capacity + 1;
  fill = mode & 4 ? data[3] : 0;
  driver_heads = data[1];
  driver_sectors = data[2];
  for (size_t at = 6; at + 2 < size; at += 514) {
    std::array<uint8_t, 512>& sector = card[GetLe16(data + at)];
    sector.fill(0);
    size_t length = size - at - 2 < 512 ? size - at - 2 : 512;
    std::memcpy(sector.data(), data + at + 2, length);
  }
  std::strcpy(HostAdapterName, mode & 2 ? "otherata" : "njata95");
  AdapterNumber = 0;
  TargetCapacity = capacity;
  Fat32Enabled = mode & 1;
  DiskGeometry = Geometry{};
  RegisteredReport = &kStepCounter;
  if (CalcGeometry() != 0) return 0;

  reads = steps = 0;
  int32_t read = ReadPartitionTables(0);
  Require(read == 0 || read == -1);
  Require(PartitionList.count >= (read == 0 ? 1 : 0));
  Require(PartitionList.count <= kMaxPartitionTables);
  Require(reads <= static_cast<uint32_t>(kMaxPartitionTables));
  Require(steps == static_cast<uint32_t>(PartitionList.count));

  reads = 0;
  int32_t files = TargetHasFiles(0);
  Require(files == 1 || files == 0 || files == -1);
  bool probed = false;
  if (PartitionList.count > 0)
    for (const PartitionInfo& p : PartitionList.table[0]) probed = probed || ScanReads(p);
  // A table without FAT partitions or links is judged without reading the card.
  Require(probed || reads == 0);
  int32_t extended = ExtendedHasFiles(0);
  Require(extended == 1 || extended == 0 || extended == -1);
  return 0;
}
