// Volume serial numbers: the card is formatted with a marker serial so it can be found once the
// system mounts it, and gets its final serial after the copy.
#ifndef KELVADO_ENGINE_VOL_SERIAL_H
#define KELVADO_ENGINE_VOL_SERIAL_H

#include <cstdint>

// The serial the next boot-record write or SetVolSerial puts into the boot sector.
extern uint32_t NewVolSerial;
// Threads: the main thread before a worker starts and after it has ended, the one engine worker
// while it runs; starting and waiting for the worker order the accesses.

// A serial made from the UTC clock: the bytes (month + second, milliseconds / 10 + day,
// (year >> 8) + hour, (year & 0xFF) + minute) added, not ORed, so a byte above 255 carries.
uint32_t MakeVolSerial();

// Reads back the boot sector of NewPartition and writes NewVolSerial into it (FAT32: also into
// its backup). 0, or -1 when NewPartition is no FAT partition (BuildPartitionEntry has not run),
// the sector read is not a boot record this engine wrote, or a transfer fails.
int32_t SetVolSerial(int32_t adapter);

#endif
