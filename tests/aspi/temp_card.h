// A card image in a temporary folder, with a volume folder next to it, for the tests of the
// emulator and of the device layer above it.
#ifndef KELVADO_TESTS_ASPI_TEMP_CARD_H
#define KELVADO_TESTS_ASPI_TEMP_CARD_H

#include <cstdint>
#include <string>
#include <vector>

struct TempCard {
  std::string folder;  // holds card.img and the volume folder
  std::string image;
  std::string volume;

  // A sparse image of `sectors` zero sectors.
  explicit TempCard(uint64_t sectors);
  ~TempCard();
  TempCard(const TempCard&) = delete;
  TempCard& operator=(const TempCard&) = delete;

  std::vector<uint8_t> Read(uint64_t lba, uint32_t count) const;
  void Write(uint64_t lba, const std::vector<uint8_t>& data) const;
  // The volume folder's .windows-serial, or "" when there is none.
  std::string Serial() const;
};

// `count` sectors, each filled with its own sector number and a seed, so misplaced data shows.
std::vector<uint8_t> Pattern(uint32_t first, uint32_t count, uint8_t seed);

#endif
