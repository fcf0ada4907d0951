// A card in a reader (a block device of the host) as kelvado-card's target, written only when it
// is safe: never a partition, a device whose logical sectors are not 512 bytes, or one in use
// whatever the path to it (storage.h: a mounted file system on it, on a partition of it or on a
// loop device over it, swap, a holder, the running system); its model and size are shown from
// the system, and writing starts only after --yes or a typed confirmation.
#ifndef KELVADO_TOOLS_BLOCK_DEVICE_H
#define KELVADO_TOOLS_BLOCK_DEVICE_H

#include <cstdint>
#include <string>
#include <vector>

#include "tools/card/storage.h"

// Why the device must not be written, or "" when it may be.
std::string BlockDeviceRefusal(const BlockDeviceInfo& info, const PathFacts& facts);

// "1.9 GiB" and the like.
std::string SizeText(uint64_t bytes);

// Describes and judges the device `facts` names. True when it may be written; false with the
// reason in *error.
bool JudgeBlockDevice(const PathFacts& facts, BlockDeviceInfo* info, std::string* error);
// Prints what each device is and asks once (unless `yes`) for "yes" to be typed (or, for one
// device, its name). True when it was confirmed; false with the reason in *error.
bool ConfirmBlockDevices(const std::vector<BlockDeviceInfo>& devices, bool yes, std::string* error);

// Opens the device exclusively (no other exclusive opener, no mounted file system) and checks
// that it is still the device judged and that its logical sectors are 512 bytes. Its descriptor
// and size; false with why.
bool BlockDeviceOpen(const BlockDeviceInfo& info, int* fd, uint64_t* bytes, std::string* error);
// Asks the kernel to read the new partition table and closes the device. A re-read the kernel
// refuses is told in *note (the card is written all the same; taken out and put back, it is read).
void BlockDeviceClose(int fd, std::string* note);

#endif
