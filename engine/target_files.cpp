// Whether the partitions already on the card hold anything, so that the user is asked before the
// card is overwritten.
#include "engine/boot_records.h"
#include "engine/errors.h"
#include "engine/partition_scan.h"

// A partition that failed its probe says nothing about the others: an entry after it that is in
// use, or that cannot be looked into, still makes the answer 0, so the user is asked.
int32_t TargetHasFiles(int32_t adapter) {
  if (PartitionList.count < 1) return kEngineFailed;
  int32_t result = 1;
  for (const PartitionInfo& partition : PartitionList.table[0]) {
    int32_t found;
    if (partition.type == 0)
      continue;
    else if (IsFat16Type(partition.type))
      found = CheckFatRootDir(adapter, partition, Fat16BootBuffer);
    else if (IsLinkType(partition.type))
      found = ExtendedHasFiles(adapter);
    else if (IsFat32Type(partition.type))
      found = CheckFat32RootDir(adapter, partition, Fat32BootBuffer);
    else
      found = 0;
    if (found == 0) return 0;
    if (found < 0) result = -1;
  }
  return result;
}

// Table by table along the chain: an empty slot counts like a partition of unknown type. A table
// ends at its link, and the next table follows; a table without a link ends the walk. When the
// last table read still has a link, the chain went on past the list: what follows it was not
// looked into, and counts as unknown too.
int32_t ExtendedHasFiles(int32_t adapter) {
  int32_t result = -1;
  for (int32_t t = 1; t < PartitionList.count; ++t) {
    bool link = false;
    for (const PartitionInfo& partition : PartitionList.table[t]) {
      if (partition.type == 0)
        result = 0;
      else if (IsFat16Type(partition.type))
        result = CheckFatRootDir(adapter, partition, Fat16BootBuffer);
      else if (IsLinkType(partition.type))
        link = true;
      else if (IsFat32Type(partition.type))
        result = CheckFat32RootDir(adapter, partition, Fat32BootBuffer);
      else
        result = 0;
      if (result == 0 || link) break;
    }
    if (result == 0) return 0;
    if (!link) return result;
  }
  return PartitionList.count > 1 ? 0 : result;
}
