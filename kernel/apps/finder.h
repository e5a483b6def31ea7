// The Finder's window content: which item of its grid lies under a point.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

// Node of the Finder item under (px, py) for a content area at (x, y) of
// size w x h, or -1.
i32 finder_grid_hit_test(const Window* win, i32 x, i32 y, i32 w, i32 h, i32 px, i32 py);

}  // namespace tavlin
