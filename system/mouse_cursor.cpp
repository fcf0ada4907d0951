#include "system/mouse_cursor.h"

int32_t MouseCursorId = 0;
