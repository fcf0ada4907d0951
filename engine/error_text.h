// The engine's numbered error codes and the words the user sees for them.
//
// 1xx operating system and capacity, 2xx drives and card, 3xx SCSI commands, 5xx the ASPI library,
// 6xx writing the card's system areas. 0 is success and -9 an interruption by the user; neither is
// ever shown.
#ifndef KELVADO_ENGINE_ERROR_TEXT_H
#define KELVADO_ENGINE_ERROR_TEXT_H

#include <cstdint>

#include "engine/error_codes.h"

// The Shift-JIS message of a code; "UNKNOWN ERROR CODE" for every code without one (negative codes
// included). A constant: never fails, allocates nothing.
const char* ErrorText(uint32_t code);

// Shows ErrorText(code) in a message box owned by the main window, captioned "Kelvado Error", with
// an OK button. Blocks until the user closes it; returns the button pressed.
int32_t ShowEngineError(int32_t code);

#endif
