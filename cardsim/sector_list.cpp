// Sector lists of the fault settings: "all", or "N" and "N-M" items separated by commas.
#include <cstring>

#include "cardsim/cardsim.h"

static bool ReadSectorNumber(const char** text, uint32_t* value) {
  const char* at = *text;
  while (*at == ' ') ++at;
  if (*at < '0' || *at > '9') return false;
  uint64_t number = 0;
  while (*at >= '0' && *at <= '9') {
    number = number * 10 + static_cast<uint64_t>(*at - '0');
    if (number > 0xFFFFFFFFu) return false;
    ++at;
  }
  while (*at == ' ') ++at;
  *value = static_cast<uint32_t>(number);
  *text = at;
  return true;
}

bool ParseSectorList(const char* text, SectorList* list) {
  std::memset(list, 0, sizeof *list);
  const char* at = text;
  while (*at == ' ') ++at;
  if (std::strcmp(at, "all") == 0) {
    list->all = true;
    return true;
  }
  if (*at == '\0') return true;
  for (;;) {
    SectorList::Range range;
    if (!ReadSectorNumber(&at, &range.first)) break;
    range.last = range.first;
    if (*at == '-') {
      ++at;
      if (!ReadSectorNumber(&at, &range.last) || range.last < range.first) break;
    }
    if (list->count == sizeof list->ranges / sizeof list->ranges[0]) break;
    list->ranges[list->count++] = range;
    if (*at == '\0') return true;
    if (*at != ',') break;
    ++at;
  }
  std::memset(list, 0, sizeof *list);
  return false;
}

bool SectorListTouches(const SectorList& list, uint32_t first, uint32_t count) {
  if (count == 0) return false;
  if (list.all) return true;
  uint64_t last = static_cast<uint64_t>(first) + count - 1;
  for (uint32_t i = 0; i < list.count; ++i) {
    if (list.ranges[i].first <= last && list.ranges[i].last >= first) return true;
  }
  return false;
}
