// Fuzzes kelvado-card verify's judgement of a card over arbitrary cards (tests/sector_image.h):
// master boot records with any entries, boot records with any fields, FATs and directories of
// any content. Whatever the card holds, the inspection must never read outside it and must
// answer with findings that hold together: each part named and explained, a card that boots
// judged sound in all four parts.
#include <cstdint>
#include <cstdlib>

#include "tests/sector_image.h"
#include "tools/card/card_inspection.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SectorImage card;
  // Up to 512 MiB: a FAT32 card of the engine's smallest size fits.
  if (!card.Decode(data, size, 1u << 20)) return 0;
  CardInspection inspection;
  InspectCard(&card, &inspection);
  Require(!inspection.findings.empty() && inspection.findings.size() <= 4);
  for (const CardFinding& finding : inspection.findings) Require(!finding.part.empty() && !finding.text.empty());
  if (inspection.Boots()) Require(inspection.findings.size() == 4 && inspection.has_tree);
  if (inspection.has_tree) Require(inspection.volume != nullptr && inspection.tree.directory);
  return 0;
}
