// The window table and its lifecycle.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Marks every window slot free (start-up).
void windows_init();
// Ends animations that have run their course (one main-loop step).
void win_end_finished_animations();

}  // namespace tavlin
