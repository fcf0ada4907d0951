#include "screen/display_list.h"

// The display list is not built yet: it holds no buttons.
const char* DisplayListHit(int32_t, int32_t) { return nullptr; }
