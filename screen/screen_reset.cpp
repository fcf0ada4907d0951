#include "screen/screen_reset.h"

#include <initializer_list>

#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "screen/screen_metrics.h"

void ResetScreen() {
  ReleaseDrawingBuffers();
  MainWinCleared = false;
  for (double* setting : {&LeftMargin, &RightMargin, &UpperMargin, &LowerMargin, &HSpace, &VSpace,
                          &OffsetX1, &OffsetY1, &OffsetX2, &OffsetY2})
    *setting = 0.0;
  ScreenWidth = ScreenHeight = 0;
}
