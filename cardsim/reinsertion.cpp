// The card's reinsertion as Windows would see it. A drive letter under Wine is a folder, and the
// volume serial Windows reports for it is read from that folder's ".windows-serial". Whenever the
// card's partition table, or the boot sector its partition entry points to, is written, the
// serial of that boot sector is put into the file, as if the card had been taken out and put back
// and Windows had mounted the new volume.
//
// The partition is the first entry of the master boot record with a FAT type; the serial is the
// boot sector's BS_VolID, at 39 for FAT12 and FAT16, at 67 for FAT32. Sectors without the 55 AA
// signature, or a table without a FAT entry, leave the file as it is: no volume is mounted.
//
// The system reads a drive's serial when the drive is defined and keeps it, so with a drive letter
// configured the drive is then taken away and defined again, as a reinserted card would be.
#include <cstring>

#include "cardsim/card.h"

static bool WatchingBoot = false;
static uint32_t WatchedBoot = 0;  // the boot sector the table points to
static bool SerialKnown = false;
static uint32_t SerialWritten = 0;

static uint32_t Le32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
         static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

static bool ReadSector(uint32_t lba, uint8_t* sector) {
  if (Card.image == nullptr || lba >= Card.sectors) return false;
  return ImageRead(Card.image, static_cast<uint64_t>(lba) * kCardSectorSize, sector,
                   kCardSectorSize);
}

static bool HasSignature(const uint8_t* sector) {
  return sector[510] == 0x55 && sector[511] == 0xAA;
}

// Offset of BS_VolID in a boot sector of a partition of this type, or 0 for a type that is not FAT.
static uint32_t SerialOffset(uint8_t type) {
  switch (type) {
    case 0x01:  // FAT12
    case 0x04:  // FAT16, under 32 MiB
    case 0x06:  // FAT16
    case 0x0E:  // FAT16, LBA
      return 39;
    case 0x0B:  // FAT32
    case 0x0C:  // FAT32, LBA
      return 67;
    default:
      return 0;
  }
}

static void WriteSerial(uint32_t serial) {
  static const char kDigits[] = "0123456789abcdef";
  char text[10];
  for (int i = 0; i < 8; ++i) text[i] = kDigits[(serial >> (28 - 4 * i)) & 0xF];
  text[8] = '\n';
  text[9] = '\0';
  if (HostWriteFile(Card.config.volume_dir, ".windows-serial", text)) {
    SerialKnown = true;
    SerialWritten = serial;
    if (Card.config.volume_drive != 0 &&
        !HostRemountVolume(Card.config.volume_drive, Card.config.volume_dir))
      HostReport("the card's drive cannot be defined again; the system keeps its old serial");
  } else {
    HostReport("the volume serial file cannot be written");
  }
}

// Reads the table and the boot sector again and brings the file up to date.
static void Follow() {
  WatchingBoot = false;
  uint8_t sector[kCardSectorSize];
  if (!ReadSector(0, sector) || !HasSignature(sector)) return;
  uint32_t offset = 0, boot = 0;
  for (int entry = 0; entry < 4 && offset == 0; ++entry) {
    const uint8_t* at = sector + 446 + 16 * entry;
    offset = SerialOffset(at[4]);
    boot = Le32(at + 8);
  }
  if (offset == 0) return;
  WatchingBoot = true;
  WatchedBoot = boot;
  if (!ReadSector(boot, sector) || !HasSignature(sector)) return;
  uint32_t serial = Le32(sector + offset);
  if (!SerialKnown || serial != SerialWritten) WriteSerial(serial);
}

void ReinsertionStart() {
  WatchingBoot = false;
  SerialKnown = false;
  if (Card.config.volume_dir[0] != '\0') Follow();
}

void ReinsertionAfterWrite(uint32_t lba, uint32_t count) {
  if (Card.config.volume_dir[0] == '\0' || count == 0) return;
  uint64_t end = static_cast<uint64_t>(lba) + count;
  bool table = lba == 0;
  bool boot = WatchingBoot && lba <= WatchedBoot && WatchedBoot < end;
  if (table || boot) Follow();
}
