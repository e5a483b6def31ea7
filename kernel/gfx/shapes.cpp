// Shaped fills. Stand-in: rounded rectangles are drawn square for now.
#include "kernel/gfx/shapes.h"

#include "kernel/gfx/gfx.h"

namespace tavlin {

void fill_rounded_rect(i32 x, i32 y, i32 w, i32 h, i32 /*r*/, u32 colour) {
  fill_rect(x, y, w, h, colour);
}

}  // namespace tavlin
