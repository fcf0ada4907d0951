// A card in a reader (a block device of the host) as kelvado-card's target, written only when it
// is safe: never a partition, a device whose logical sectors are not 512 bytes, or one in use
// whatever the path to it (storage.h: a mounted file system on it, on a partition of it or on a
// loop device over it, swap, a holder, the running system); its model and size are shown from
// the system, and writing starts only after --yes or a typed confirmation.
#ifndef KELVADO_TOOLS_BLOCK_DEVICE_H
#define KELVADO_TOOLS_BLOCK_DEVICE_H

#include <cstdint>
#include <string>

#include "tools/storage.h"

// Why the device must not be written, or "" when it may be.
std::string BlockDeviceRefusal(const BlockDeviceInfo& info, const PathFacts& facts);

// "1.9 GiB" and the like.
std::string SizeText(uint64_t bytes);

// Describes and judges the device `facts` names. True when it may be written; false with the
// reason in *error.
bool JudgeBlockDevice(const PathFacts& facts, BlockDeviceInfo* info, std::string* error);
// Prints what the device is and asks (unless `yes`) for "yes" or the device's name to be typed.
// True when it was confirmed; false with the reason in *error.
bool ConfirmBlockDevice(const BlockDeviceInfo& info, bool yes, std::string* error);

// Opens the device exclusively (no other exclusive opener, no mounted file system), checks that
// it is still the device judged and that its logical sectors are 512 bytes, and installs its
// sector transfers as the engine's, with TargetCapacity set from its size. False with why.
bool BlockDeviceOpen(const BlockDeviceInfo& info, std::string* error);
// Writes out what the system holds back and drops its cached copy of the device, so that what
// is read next comes from the card. False with why.
bool BlockDeviceFlush(std::string* error);
// Flushes, asks the kernel to read the partition table again and closes the device, putting
// the device layer's transfers back. A re-read the kernel refuses is told in *note.
bool BlockDeviceClose(std::string* error, std::string* note);

#endif
