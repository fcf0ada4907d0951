// A card stood in for by a disk image file: the sector transfers of aspi/aspi.h on the
// image, installed while it is open, with READ CAPACITY's answer and chosen sectors that fail.
//
// Native only; for the engine's tests, the benchmark and kelvado-card transfer, which call the
// engine directly and without a driver thread in between. kelvado-card's other commands reach
// their image through the device layer and the card emulator.
#ifndef KELVADO_TOOLS_IMAGE_CARD_H
#define KELVADO_TOOLS_IMAGE_CARD_H

#include <cstdint>
#include <string>

#include "cardsim/cardsim.h"

// Opens `path` read-write as target 0 of adapter 0, installs the image's transfers in place of
// the device layer's (SectorTransferInstall) and sets TargetCapacity as READ CAPACITY reports it:
// the last sector's number, the image's sector count - 1. False (with a message in *error, and
// nothing installed) when it cannot be opened or holds no whole sector.
bool ImageCardOpen(const char* path, std::string* error);
// Closes the image and puts the device layer's transfers back.
void ImageCardClose();
// The image's size in whole sectors.
uint64_t ImageCardSectors();

// Reads or writes that touch any sector of the list fail (-1) and transfer nothing. The lists are
// the card emulator's own (cardsim/cardsim.h: ParseSectorList reads "all" or "N,N-M,...").
void ImageCardFailReads(const SectorList& list);
void ImageCardFailWrites(const SectorList& list);

// What GetDiskInfo answers: heads and sectors per track, or -1 while none are set (heads 0).
void ImageCardSetDiskInfo(int32_t heads, int32_t sectors_per_track);

// Called before every transfer with its direction, first sector and count; tests use it to watch
// the order of writes or to stop the engine at a chosen moment, the benchmark to record the I/O.
typedef void (*ImageCardObserver)(bool write, uint32_t lba, uint32_t count);
extern ImageCardObserver ImageCardWatch;

#endif
