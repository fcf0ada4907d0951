// The cards one kelvado-card transfer writes: image files and block devices, each opened by the
// caller and reached through the engine's sector transfers as adapter N, target 0, where N is
// its number in the set. The engine's steps (MakePartition, the tree writer, the read-back) then
// run on one card or on several, by adapter number.
#ifndef KELVADO_TOOLS_CARD_SET_H
#define KELVADO_TOOLS_CARD_SET_H

#include <cstdint>
#include <string>

// Adds an open card of `sectors` 512-byte sectors (at most 2^32); its adapter number. The set
// keeps the descriptor while the card is in it; closing it stays the caller's.
int32_t CardSetAdd(int fd, uint64_t sectors, bool block_device);
// Installs the set's transfers in place of the device layer's.
void CardSetInstall();
// Writes out what the system holds back of the card and drops its cached copy (pages of an
// image file, the buffer cache of a device), so that what is read next comes from the medium.
// False with why.
bool CardSetFlush(int32_t adapter, std::string* error);
// Takes the card out of the set: its transfers fail from then on.
void CardSetRemove(int32_t adapter);
// Empties the set and puts the device layer's transfers back.
void CardSetClear();

#endif
