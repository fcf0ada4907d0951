// How far the work on a card's files has come: the writer and the comparison tell each phase (its
// status text, Shift-JIS, and its length) and their position in it to the report set here. The
// tools set it to show them as the engine's phases are shown; with none set nothing is told.
#ifndef KELVADO_FAT_PROGRESS_H
#define KELVADO_FAT_PROGRESS_H

#include <cstdint>

struct FatProgressReport {
  void (*phase)(const char* status, uint32_t length);
  void (*advance)(uint32_t position);
  void (*done)();
};
extern FatProgressReport FatProgress;

void FatProgressPhase(const char* status, uint32_t length);
void FatProgressAdvance(uint32_t position);
void FatProgressDone();

#endif
