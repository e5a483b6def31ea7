// The start-up progress screen that kernel_startup redraws after each step.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Progress 0..100: redraws the whole boot screen and presents it.
void draw_boot_screen(i32 percent);

}  // namespace tavlin
