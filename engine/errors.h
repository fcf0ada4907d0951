// What the engine's operations answer: 0, a numbered error code whose words the user sees
// (ErrorText below), -1 for a failure without a code of its own, -9 for an interruption.
#ifndef KELVADO_ENGINE_ERRORS_H
#define KELVADO_ENGINE_ERRORS_H

#include <cstdint>

const int32_t kEngineOk = 0;
// A failure without a code of its own (a transfer, a layout the engine refuses); never shown.
const int32_t kEngineFailed = -1;
// The user confirmed an interrupt (AbortEvent); never shown.
const int32_t kEngineStopped = -9;

// 1xx: the operating system and the capacity.
const int32_t kErrWin32s = 101;
const int32_t kErrWindowsNt = 102;
const int32_t kErrUnknownSystem = 103;
const int32_t kErrTargetTooSmall = 104;
// The target ran out of room while the files were copied.
const int32_t kErrTargetFull = 105;
// 2xx: drives and the card.
const int32_t kErrSystemDriveNotFixed = 201;
const int32_t kErrNoCard = 202;
const int32_t kErrNoVolumeInfo = 203;
const int32_t kErrTargetNotFixed = 204;
// 3xx (SCSI commands) and 5xx (the ASPI library) are the device layer's own (aspi/aspi.h).
// 6xx: writing the card's system areas.
const int32_t kErrIplWrite = 601;
const int32_t kErrTooManyBadSectors = 602;
const int32_t kErrFatArea = 603;
const int32_t kErrFatWrite = 604;
const int32_t kErrRootDirArea = 605;
const int32_t kErrRootDirWrite = 606;

// The words the user sees for every numbered code: 1xx operating system and capacity, 2xx drives
// and card, 3xx SCSI commands, 5xx the ASPI library, 6xx writing the card's system areas. 0 is
// success and -9 an interruption by the user; neither is ever shown.
//
// The Shift-JIS message of a code; "UNKNOWN ERROR CODE" for every code without one (negative codes
// included). A constant: never fails, allocates nothing.
const char* ErrorText(uint32_t code);

#endif
