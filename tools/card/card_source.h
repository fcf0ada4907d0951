// The source of a card: a folder, or an image file or a disk holding a FAT volume, read whole
// (its tree; the bytes of its files are read later) and opened read-only, never to be written.
#ifndef KELVADO_TOOLS_CARD_SOURCE_H
#define KELVADO_TOOLS_CARD_SOURCE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fat/tree.h"
#include "tools/card/file_bytes.h"
#include "tools/card/storage.h"

struct CardSource {
  PathFacts facts;
  std::unique_ptr<FileBytes> image;   // an image file or a disk, opened read-only
  std::unique_ptr<TreeSource> bytes;  // its volume, or the folder
  TreeNode tree;
  std::vector<std::string> left_out;  // "PATH: why" for what cannot go onto a card
  std::vector<std::string> notes;     // what was read otherwise than it stands, "PATH: what (why)"
  int fat = 0;                        // 12, 16, 32 for a volume, 0 for a folder
  bool has_serial = false;
  uint32_t serial = 0;
  std::string where;                  // "volume", "partition 1 at sector 63"
};

// Reads the source at `path`. A FIFO, a socket or a character device is refused before it is
// opened (opening a FIFO waits for a writer). False with the reason, naming the path.
bool ReadCardSource(const char* path, CardSource* source, std::string* error);

#endif
