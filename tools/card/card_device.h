// The card as kelvado-card reaches it: a disk image served by the card emulator (linked in) as
// target 0 of its one host adapter, brought up through the device layer as kelvado.exe's
// InitAdapter does.
#ifndef KELVADO_TOOLS_CARD_DEVICE_H
#define KELVADO_TOOLS_CARD_DEVICE_H

#include <cstdint>
#include <string>

#include "cardsim/cardsim.h"

struct CardDeviceOptions {
  std::string adapter = "njata95";  // the adapter's identifier (cut to 16 bytes)
  uint32_t heads = 0, sectors_per_track = 0;  // what GetDiskInfo answers
  SectorList bad_reads = {}, bad_writes = {};  // the emulator's failing sectors
};

// Starts the card emulator with `image` (none: a card without a medium). False, with a message
// on standard error, when the image cannot be opened.
bool AttachCard(const CardDeviceOptions& o, const char* image);
// The device as InitAdapter brings it up: the driver, the host adapter named HostAdapterName,
// the device's name and, with `read_capacity`, its size. 0, or the code InitAdapter would show.
int32_t OpenDevice(bool read_capacity);
// Unloads the driver and stops the emulator.
void DetachCard();

#endif
