#include "system/exit_sequence.h"

ReleaseImageFunction ReleaseWindowImageHandler = nullptr;

void ReleaseWindowImage() {
  if (ReleaseWindowImageHandler) ReleaseWindowImageHandler();
}
