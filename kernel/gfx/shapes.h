// Shaped fills: rounded rectangles, circles, gradients and decorations.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

void fill_rounded_rect(i32 x, i32 y, i32 w, i32 h, i32 r, u32 colour);

}  // namespace tavlin
