// Pieces of the dock's drawing shared between its files.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// The glyph of an application kind on a tile of size s at (x, y).
void draw_dock_glyph(i32 kind, i32 x, i32 y, i32 s);
// The trash can (grown while hovered) and the "Empty Bin?" popup.
void draw_dock_trash();
void draw_trash_confirm();
// Blends a colour over the top rows of a rounded square, inside its corners.
void blend_rounded_rows(i32 x, i32 y, i32 size, i32 rows, i32 radius, u32 colour, u32 alpha);

}  // namespace tavlin
