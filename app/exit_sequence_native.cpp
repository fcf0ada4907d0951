#include "app/exit_sequence_native.h"

ReleaseImageFunction ReleaseWindowImageHandler = nullptr;

void ReleaseWindowImage() {
  if (ReleaseWindowImageHandler) ReleaseWindowImageHandler();
}
