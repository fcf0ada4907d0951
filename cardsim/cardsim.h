// The card emulator: an ASPI for Win32 driver whose host adapters are names and whose only device,
// target 0 of one adapter, is an image file. Built as WNASPI32.DLL for kelvado.exe under Wine and
// as a native library the engine's tests and tools link in. See cardsim/README.md.
#ifndef KELVADO_CARDSIM_CARDSIM_H
#define KELVADO_CARDSIM_CARDSIM_H

#include <cstddef>
#include <cstdint>

// Sectors named by a fault: single sectors and inclusive ranges, or every sector.
struct SectorList {
  bool all;
  uint32_t count;
  struct Range {
    uint32_t first;
    uint32_t last;
  } ranges[32];
};

// How the emulator answers one kind of command.
enum CommandFault : uint8_t {
  kAnswer = 0,  // as the device would
  kFail = 1,    // finishes with an error (CHECK CONDITION)
  kHang = 2,    // never finishes unless aborted
};

const int kMaxAdapters = 8;

struct CardSimConfig {
  char image[260];                  // image file; none: the target has no medium
  int32_t adapter_count;            // host adapters, numbered from 0
  char adapters[kMaxAdapters][17];  // their identifiers (HA_Identifier, 16 bytes)
  int32_t card_adapter;             // the adapter whose target 0 is the card
  char manager[17];                 // HA_ManagerId
  char vendor[9];                   // INQUIRY vendor identification
  char product[17];                 // INQUIRY product identification
  char revision[5];                 // INQUIRY product revision
  uint8_t heads;                    // SC_GET_DISK_INFO
  uint8_t sectors_per_track;
  SectorList read_fail;    // reads touching these sectors end in error
  SectorList write_fail;   // writes touching these sectors end in error, nothing written
  SectorList read_hang;    // reads touching these sectors never finish
  SectorList write_hang;   // writes touching these sectors never finish
  CommandFault inquiry;    // INQUIRY
  CommandFault capacity;   // READ CAPACITY
  bool abort_fails;        // SC_ABORT_SRB answers SS_ABORT_FAIL and the request stays
  uint8_t support_status;  // bits 8-15 of GetASPI32SupportInfo (SS_COMP)
  bool support_raises;     // GetASPI32SupportInfo raises an exception
  bool load_fails;         // the library refuses to load
  char missing_entry[32];  // an entry point the library does not export
  char volume_dir[260];    // folder whose .windows-serial follows the card's boot sector
  char volume_drive;       // its drive letter ('A'-'Z'), defined again when the serial changes; 0: none
};

// The defaults: one adapter "njata95" with the card, no image, no faults.
void CardSimDefaults(CardSimConfig* config);
// Reads the CARDSIM_* environment variables over the defaults. A value that cannot be understood is
// reported on standard error and leaves that setting at its default; returns how many there were.
int32_t CardSimConfigFromEnvironment(CardSimConfig* config);
// One sector list as the variables write it: "all", or items "N" and "N-M" separated by commas.
// false (and `list` emptied) when the text is not such a list.
bool ParseSectorList(const char* text, SectorList* list);
bool SectorListTouches(const SectorList& list, uint32_t first, uint32_t count);

// Starts the emulator with a configuration, stopping an earlier one first: 0, or -1 when the
// image cannot be opened (the emulator then runs without a medium).
int32_t CardSimStart(const CardSimConfig& config);
// Stops it: requests it still holds finish as aborted (their events are signalled), the image is
// closed.
void CardSimStop();

// The driver's two entry points.
uint32_t CardSimGetSupportInfo();
uint32_t CardSimSendCommand(void* srb);

// Requests held back by a hang fault, and a way to let them finish now (as if the card woke up).
int32_t CardSimHeldRequests();
void CardSimReleaseHeld();

#endif
