// The full-screen error report, and the boot progress screen.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Draws the report, waits for Enter by polling the controller and resets the
// machine. Reached from interrupt context; never returns.
[[noreturn]] void crash_screen(const char* code, const char* log);
// Only the drawing and presentation half of crash_screen.
void draw_crash_screen(const char* code, const char* log);

// Progress 0..100: redraws the whole boot screen and presents it.
void draw_boot_screen(i32 percent);

}  // namespace tavlin
