// Puts a tree of directories and files onto cards' freshly made FAT16 or FAT32 volumes, as
// Windows 95/98 would copy it: every name with its short name and, where the name is not a plain
// 8.3 name, its long-name entries; attributes and times as the source has them; a directory made
// before its contents; nothing overwritten and no dot entry copied (the volume is new, and each
// directory gets its own "." and ".."). The cards are reached through the sector transfers of
// aspi/aspi.h.
#ifndef KELVADO_FAT_WRITER_H
#define KELVADO_FAT_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

#include "fat/tree.h"

// A card to write the tree onto: the new volume at `first_sector` of target 0 of `adapter`,
// `sectors` long (its partition, just made by MakePartition); afterwards whether it was
// written, or why not.
struct CardToWrite {
  int32_t adapter = 0;
  uint64_t first_sector = 0;
  uint64_t sectors = 0;
  bool written = false;
  std::string error;
};

// Writes the planned tree onto every card's volume at once: each file's bytes are read from
// `source` once and written to every card. Files whose bytes cannot be read are left out (of
// every card) and listed; a card that cannot be written, or runs out of room, stops with its
// error while the others go on. The progress bar follows the bytes written.
void WriteTreeToCards(std::vector<CardToWrite>* cards, TreeNode* root, TreeSource* source,
                      std::vector<std::string>* left_out);
// The same for one card: false with *error when it could not be written.
bool WriteTreeToCard(int32_t adapter, uint64_t first_sector, uint64_t sectors, TreeNode* root,
                     TreeSource* source, std::vector<std::string>* left_out, std::string* error);

// The status text of the writing.
extern const char kStatusWriteFiles[];

#endif
