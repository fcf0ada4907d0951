// The card as the engine reaches it: the host adapter and target chosen through ASPI for Win32, and
// the sector transfers every other part of the engine is built on. Sectors are 512 bytes and are
// numbered by 32-bit logical block addresses; the target is always SCSI target 0, unit 0.
//
// The operations are called from one thread at a time (the main thread, or the one engine worker
// while it runs); the state below is plain shared memory without locks.
#ifndef KELVADO_ASPI_ASPI_H
#define KELVADO_ASPI_ASPI_H

#include <cstddef>
#include <cstdint>

#include "aspi/srb.h"

const uint32_t kSectorSize = 512;

// Identifier of the wanted host adapter (at most 31 characters); "njata95" by default.
extern char HostAdapterName[32];
// Vendor and product identification of the target, from INQUIRY (24 characters).
extern char TargetDeviceName[32];
// Size of the target in sectors, as READ CAPACITY reports it; the geometry may lower it.
extern uint32_t TargetCapacity;
// Number of the host adapter found by FindHostAdapter; -1 while none is found.
extern int32_t AdapterNumber;
// Number of host adapters the driver reports; -1 while the driver library is not loaded.
extern int32_t HostAdapterCount;
// Threads: the main thread before a worker starts and after it has ended, the one engine worker
// while it runs; starting and waiting for the worker order the accesses.

// Empties HostAdapterName and TargetDeviceName, TargetCapacity 0, AdapterNumber -1: the start
// values (ResetEngine does this and more).
void ResetTargetIdentity();

// Heads and sectors per track of a target as the host adapter driver reports them: 0, or -1.
typedef int32_t (*GetDiskInfoFunction)(int32_t adapter, int32_t target, int32_t* heads,
                                       int32_t* sectors_per_track);
// Reads or writes `count` sectors of `sector_size` bytes starting at `lba`: 0, or -1 on failure
// (a time-out included).
typedef int32_t (*ReadSectorsFunction)(int32_t adapter, int32_t target, uint32_t lba,
                                       uint32_t sector_size, uint32_t count, void* buffer);
typedef int32_t (*WriteSectorsFunction)(int32_t adapter, int32_t target, uint32_t lba,
                                        uint32_t sector_size, uint32_t count, const void* buffer);

// The sector transfers the rest of the engine calls. They are the device layer's own (below)
// unless a stand-in for the card (an image file, a card in memory) has installed its functions
// with SectorTransferInstall. Threads: installed by the main thread while no engine worker runs;
// called by the main thread or the one engine worker, never both at once.
extern GetDiskInfoFunction GetDiskInfo;
extern ReadSectorsFunction ReadSectors;
extern WriteSectorsFunction WriteSectors;
void SectorTransferInstall(GetDiskInfoFunction get_disk_info, ReadSectorsFunction read,
                           WriteSectorsFunction write);
// Puts the device layer's transfers back.
void SectorTransferUseDevice();

// The device layer's transfers: SC_GET_DISK_INFO, READ(10) and WRITE(10) to the host adapter.
int32_t DeviceGetDiskInfo(int32_t adapter, int32_t target, int32_t* heads,
                          int32_t* sectors_per_track);
int32_t DeviceReadSectors(int32_t adapter, int32_t target, uint32_t lba, uint32_t sector_size,
                          uint32_t count, void* buffer);
int32_t DeviceWriteSectors(int32_t adapter, int32_t target, uint32_t lba, uint32_t sector_size,
                           uint32_t count, const void* buffer);

// What this layer answers: 0, a failure without a code of its own, or one of its numbered codes
// (3xx SCSI commands, 5xx the ASPI library), whose words the user sees through the engine's
// message table.
const int32_t kAspiFailed = -1;
const int32_t kAspiCommandTimeout = 301;      // the device inquiry did not finish
const int32_t kAspiReadCapacityFailed = 302;  // READ CAPACITY timed out or ended in error
const int32_t kAspiNoEntryPoints = 501;       // an entry point is missing from the library
const int32_t kAspiNoAdapterInfo = 502;       // the support information is not SS_COMP
const int32_t kAspiInitFailed = 503;          // GetASPI32SupportInfo raised an exception
const int32_t kAspiNoLibrary = 504;           // "WNASPI32.DLL" cannot be loaded

// Loads the driver library and reads the number of host adapters: 0, or 501 to 504 (then the
// library is not left loaded).
int32_t AspiLoad();
// Releases the driver library; the adapter count becomes -1.
void AspiUnload();

// Looks for the adapter whose identifier is HostAdapterName: 1 found (AdapterNumber set), 0 not
// found (AdapterNumber -1).
int32_t FindHostAdapter();
// 0 when host adapter `adapter` answers with exactly the identifier `name`, -1 otherwise.
int32_t HaInquiry(int32_t adapter, const char* name);
// INQUIRY of a device: 0 (the vendor and product text in `name`, or "" when the inquiry ended in
// error), or 301 when it did not finish (then `name` is left alone). `name` holds `size` bytes;
// the text is cut to fit.
int32_t DevInquiry(int32_t adapter, int32_t target, int32_t lun, char* name, size_t size);
// READ CAPACITY of a target: 0 (TargetCapacity set to the last sector number the device reports),
// or 302.
int32_t ReadCapacity(int32_t adapter, int32_t target);

// Sends a SCSI command and waits for it at most AspiWaitMs; aborts it when the time runs out.
// 1 the request finished (its SRB_Status says how), 0 it did not finish or was not started.
int32_t ExecSrb(SRB_ExecSCSICmd* srb);
// Asks the driver to abort a pending request; a refusal is shown in a message box.
void AbortSrb(int32_t adapter, void* pending);

// How long ExecSrb waits for a request: 10 s. Tests shorten it.
extern uint32_t AspiWaitMs;
// Threads: set by tests before any request; read by whichever thread sends one.

// Requests that timed out and that the driver may still hold. Each keeps its request block, data
// buffer and event until the driver signals it; ExecSrb, AspiUnload and this count release the
// finished ones.
int32_t AspiHeldRequests();

#endif
