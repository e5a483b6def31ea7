// The top bar across the screen, with its menus and the context menu.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kTopBarRows = 28;

// Draws the bar, the open drop-down and the open context menu.
void draw_topbar();

}  // namespace tavlin
