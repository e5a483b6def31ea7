// The drawing of the crash report: the code, the log and where to get help,
// over the whole screen. Start-up registers it as the crash path's painter.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Draws the report into the back buffer and presents it.
void draw_crash_screen(const char* code, const char* log);

}  // namespace tavlin
