// What the wizard's dialogs say, in Shift-JIS; \n is a line break.
#ifndef KELVADO_WIZARD_DIALOG_TEXTS_H
#define KELVADO_WIZARD_DIALOG_TEXTS_H

#include <cstddef>
#include <cstdint>

extern const char kOpeningText[];          // DLG_OPENING_1, ending with the legal notice
extern const char kTargetInfoFormat[];     // DLG_TARGET_DRIVEINFO: %s name, %d MB
extern const char kCheckFormat[];          // DLG_CHK_TARGET_DRIVE: %s name, %d MB
extern const char kPartitionText[];        // DLG_MAKE_PARTITION_TGETDRV
extern const char kCardInitText[];         // DLG_CARD_INIT
extern const char kCardNotFoundText[];     // DLG_CARD_INIT: no drive with the serial yet
extern const char kCopyText[];             // DLG_START_KELVADO
extern const char kTrueEndText[];          // DLG_TRUE_END_PROGRAM
extern const char kFalseEndText[];         // DLG_FALSE_END_PROGRAM
extern const char kPartitionQuestion[];    // the interrupt question of the partition dialog
extern const char kCopyQuestion[];         // the interrupt question of the copy dialog
extern const char kStatusPartitionInfo[];  // the partition worker's first status text
extern const char kInfoCaption[];          // "Kelvado Info"
extern const char kErrorCaption[];         // "Kelvado Error", the caption of the engine's errors

// The text of the target and check dialogs: the format with TargetDeviceName and the card's size
// in MB (TargetCapacity × 512 / 1024 / 1024 in floating point, truncated).
void FormatTargetText(char* out, size_t size, const char* format);

// What the person is told before the true end dialog when the copy left files out: how many,
// and the dated log that lists them. `log_path` may be empty when no log directory is known.
void FormatLeftOutText(char* out, size_t size, uint32_t count, const char* log_path);

#endif
