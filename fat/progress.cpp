#include "fat/progress.h"

FatProgressReport FatProgress = {nullptr, nullptr, nullptr};

void FatProgressPhase(const char* status, uint32_t length) {
  if (FatProgress.phase) FatProgress.phase(status, length);
}

void FatProgressAdvance(uint32_t position) {
  if (FatProgress.advance) FatProgress.advance(position);
}

void FatProgressDone() {
  if (FatProgress.done) FatProgress.done();
}
