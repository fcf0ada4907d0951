#include <cstdio>

#include "system/message_box_native.h"

MessageBoxFunction MessageBoxHandler = nullptr;

int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style) {
  if (MessageBoxHandler) return MessageBoxHandler(owned, text, caption, style);
  std::fprintf(stderr, "[box] %s: %s\n", caption, text);
  return (style & 0x000F) == kMbYesNo ? kIdYes : kIdOk;
}
