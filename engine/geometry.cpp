// The card's geometry, chosen from its capacity.
#include <cstring>

#include "aspi/aspi.h"
#include "engine/errors.h"
#include "engine/partition.h"

Geometry DiskGeometry = {0, 0, 0};
int32_t Fat32Enabled = 0;

// The identifier of the host adapter whose geometry the engine makes up itself.
static const char kOwnGeometryAdapter[] = "njata95";

// The heads of a translated geometry: 16, 32, 64, 128, then 255, until the card has fewer than
// 1024 cylinders of 63 sectors; past 255 heads the cylinders stop at 1023 and the rest of the card
// stays unused.
static void ChooseOwnGeometry(uint32_t* heads, uint32_t* sectors_per_track, uint32_t* cylinders) {
  uint32_t h = 16;
  uint32_t c;
  for (;;) {
    c = TargetCapacity / (63 * h);
    if (c < 1024) break;
    if (h == 255) {
      c = 1023;
      break;
    }
    h = h == 128 ? 255 : h * 2;
  }
  *heads = h;
  *sectors_per_track = 63;
  *cylinders = c;
}

int32_t CalcGeometry() {
  uint32_t heads, sectors_per_track, cylinders;
  if (std::strcmp(HostAdapterName, kOwnGeometryAdapter) == 0) {
    ChooseOwnGeometry(&heads, &sectors_per_track, &cylinders);
  } else {
    int32_t h = 0, s = 0;
    int32_t result = GetDiskInfo(AdapterNumber, 0, &h, &s);
    if (result != 0) return result;
    // A driver answering 0 heads or 0 sectors would divide by zero below, the partition starts
    // at head 1, and more than 63 sectors per track do not fit a partition entry's sector field.
    if (h < 2 || h > 255 || s < 1 || s > 63) return kEngineFailed;
    heads = static_cast<uint32_t>(h);
    sectors_per_track = static_cast<uint32_t>(s);
    cylinders = TargetCapacity / (heads * sectors_per_track);
    if (cylinders > 1023) cylinders = 1023;
  }
  if (Fat32Enabled == 0 && TargetCapacity > kFat16MaxCapacity) {
    TargetCapacity = kFat16MaxCapacity;
    cylinders = kFat16MaxCapacity / (heads * sectors_per_track);
    // A driver's geometry with few heads would otherwise reach past the 1024 cylinders that a
    // partition entry can describe.
    if (cylinders > 1023) cylinders = 1023;
  }
  // Less than one cylinder leaves no room for a cylinder-aligned partition.
  if (cylinders == 0) return kEngineFailed;
  DiskGeometry.max_cylinder = static_cast<uint16_t>(cylinders - 1);
  DiskGeometry.max_head = static_cast<uint16_t>(heads - 1);
  DiskGeometry.sectors_per_track = static_cast<uint16_t>(sectors_per_track);
  return 0;
}

uint32_t ChsToLba(const Geometry& geometry, uint32_t cylinder, uint32_t head, uint32_t sector) {
  return (cylinder * (geometry.max_head + 1u) + head) * geometry.sectors_per_track + sector - 1;
}
