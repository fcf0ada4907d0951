// The drawing buffers of the main window: the DisplayList that painting draws, the TitleList
// that the title texts collect into and nothing draws, the WorkBuffer bitmap and the
// MainWinCleared flag.
#ifndef KELVADO_SCREEN_DISPLAY_LIST_H
#define KELVADO_SCREEN_DISPLAY_LIST_H

#include <cstdint>

#include "screen/display_item.h"
#include "screen/packed_dib.h"

// Heap copies of items in the order they were appended. The list owns its copies, and each copy
// owns its bitmap.
struct DisplayItemList {
  DisplayItem** items;
  int32_t count;
  int32_t capacity;
};

extern DisplayItemList DisplayList;
extern DisplayItemList TitleList;

// Loaded by AbsBmpToWkBuff; nothing draws it. nullptr when there is none.
extern PackedDib* WorkBuffer;
// Set by ClrMainWin: every paint shows a black window until DoClr.
extern bool MainWinCleared;

// Appends a copy of `item`: 0, or -1 when memory runs out. On success the bitmap moves to the
// copy (the caller's item no longer holds it); on failure the caller keeps it.
int32_t AppendItem(DisplayItemList* list, DisplayItem* item);
// Frees every copy with its bitmap; the list is empty afterwards.
void ClearItems(DisplayItemList* list);

// Empties both lists and frees the WorkBuffer (DoClr, and the exit sequence).
void ReleaseDrawingBuffers();

// The section of the first item, in list order, that a click at (x, y) hits; nullptr when none.
const char* DisplayListHit(int32_t x, int32_t y);
// A click at (x, y): the section of the button it hits, if any, starts at the next tick.
void ChooseButtonAt(int32_t x, int32_t y);

// The screen's state as at program start, for tests and tools: releases the display lists and the work buffer, clears MainWinCleared, puts every layout
// setting back to 0 and forgets the screen size (0 x 0, as before start-up reads it).
void ResetScreen();

#endif
