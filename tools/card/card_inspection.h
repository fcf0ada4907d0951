// Whether a card will boot the Windows 95/98 system it holds, judged from its bytes alone: its
// master boot record (one active FAT partition, CHS and LBA fields that agree, boot code), the
// boot record of that partition (fields sound for its FAT type, the backup boot record and
// FSInfo of FAT32, boot code that loads IO.SYS, a final serial), its FATs (copies equal, every
// chain sound, no lost cluster, the free count right) and its system (IO.SYS and MSDOS.SYS in
// the root with the system and hidden attributes, COMMAND.COM, the Windows folder MSDOS.SYS
// names).
//
// The card is untrusted input: every field is checked before it is used and nothing is read
// outside the card; a damaged card is a finding, never a crash.
#ifndef KELVADO_TOOLS_CARD_INSPECTION_H
#define KELVADO_TOOLS_CARD_INSPECTION_H

#include <memory>
#include <string>
#include <vector>

#include "fat/tree.h"
#include "fat/volume.h"

// One part of the card judged: "mbr", "boot record", "fat", "system".
struct CardFinding {
  std::string part;
  bool sound = false;
  std::string text;  // what was found when sound; what is wrong, each fault after "; ", if not
};

struct CardInspection {
  std::vector<CardFinding> findings;
  // The card's FAT volume and tree, when its boot record could be followed and its tree read.
  std::unique_ptr<FatVolume> volume;
  TreeNode tree;
  bool has_tree = false;
  bool Boots() const;
};

// Inspects the whole card `card` (from its master boot record on; kept, not owned).
void InspectCard(ByteSource* card, CardInspection* out);

#endif
