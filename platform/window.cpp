#include "platform/window.h"

bool InputDrainEndsWith(uint32_t t0, uint32_t stamp) {
  if (stamp > t0) return true;
  return t0 > 0xF0000000u && stamp < 0x10000000u;
}
