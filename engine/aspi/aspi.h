// The card as the engine reaches it: the host adapter and target chosen through ASPI for Win32, and
// the sector transfers every other part of the engine is built on. Sectors are 512 bytes and are
// numbered by 32-bit logical block addresses; the target is always SCSI target 0, unit 0.
#ifndef KELVADO_ENGINE_ASPI_ASPI_H
#define KELVADO_ENGINE_ASPI_ASPI_H

#include <cstdint>

const uint32_t kSectorSize = 512;

// Identifier of the wanted host adapter (at most 31 characters); "njata95" by default.
extern char HostAdapterName[32];
// Vendor and product identification of the target, from INQUIRY (24 characters).
extern char TargetDeviceName[32];
// Size of the target in sectors, as READ CAPACITY reports it; the geometry may lower it.
extern uint32_t TargetCapacity;
// Number of the host adapter found by FindHostAdapter; -1 while none is found.
extern int32_t AdapterNumber;

// Heads and sectors per track of a target as the host adapter driver reports them: 0, or -1.
int32_t GetDiskInfo(int32_t adapter, int32_t target, int32_t* heads, int32_t* sectors_per_track);

// Reads or writes `count` sectors of `sector_size` bytes starting at `lba`: 0, or -1 on failure
// (a time-out included).
int32_t ReadSectors(int32_t adapter, int32_t target, uint32_t lba, uint32_t sector_size,
                    uint32_t count, void* buffer);
int32_t WriteSectors(int32_t adapter, int32_t target, uint32_t lba, uint32_t sector_size,
                     uint32_t count, const void* buffer);

#endif
