#include "screen/display_list.h"

#include <cstdlib>
#include <initializer_list>

#include "interp/section_choice.h"
#include "screen/layout_settings.h"

DisplayItemList DisplayList = {nullptr, 0, 0};
DisplayItemList TitleList = {nullptr, 0, 0};
PackedDib* WorkBuffer = nullptr;
bool MainWinCleared = false;

static bool MakeRoom(DisplayItemList* list) {
  if (list->count < list->capacity) return true;
  int32_t capacity = list->capacity == 0 ? 16 : list->capacity * 2;
  void* items = std::realloc(list->items, sizeof(DisplayItem*) * static_cast<size_t>(capacity));
  if (items == nullptr) return false;
  list->items = static_cast<DisplayItem**>(items);
  list->capacity = capacity;
  return true;
}

int32_t AppendItem(DisplayItemList* list, DisplayItem* item) {
  if (!MakeRoom(list)) return -1;
  DisplayItem* copy = static_cast<DisplayItem*>(std::malloc(sizeof(DisplayItem)));
  if (copy == nullptr) return -1;
  *copy = *item;
  list->items[list->count++] = copy;
  item->bitmap = nullptr;
  item->pixels = nullptr;
  return 0;
}

void ClearItems(DisplayItemList* list) {
  for (int32_t i = 0; i < list->count; ++i) {
    PackedDibFree(list->items[i]->bitmap);
    std::free(list->items[i]);
  }
  std::free(list->items);
  list->items = nullptr;
  list->count = 0;
  list->capacity = 0;
}

void ReleaseDrawingBuffers() {
  ClearItems(&DisplayList);
  ClearItems(&TitleList);
  PackedDibFree(WorkBuffer);
  WorkBuffer = nullptr;
}

const char* DisplayListHit(int32_t x, int32_t y) {
  for (int32_t i = 0; i < DisplayList.count; ++i)
    if (ItemHit(*DisplayList.items[i], x, y)) return DisplayList.items[i]->section;
  return nullptr;
}

void ChooseButtonAt(int32_t x, int32_t y) {
  const char* button = DisplayListHit(x, y);
  if (button != nullptr) ChooseButtonSection(button);
}

void ResetScreen() {
  ReleaseDrawingBuffers();
  MainWinCleared = false;
  for (double* setting : {&LeftMargin, &RightMargin, &UpperMargin, &LowerMargin, &HSpace, &VSpace,
                          &OffsetX1, &OffsetY1, &OffsetX2, &OffsetY2})
    *setting = 0.0;
  ScreenWidth = ScreenHeight = 0;
}
