// The pointer: a white arrow with a black outline, its hot spot at the
// bitmap's top-left cell.
#include "kernel/core/framebuffer.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/render_parts.h"

namespace tavlin {
namespace {

constexpr i32 kShapeColumns = 10;
constexpr i32 kShapeRows = 16;
constexpr i32 kDrawnRows = 14;
constexpr i32 kOutlinedColumns = 9;

const char shape[kShapeRows][kShapeColumns + 1] = {
    "X.........", "XX........", "XXX.......", "XXXX......", "XXXXX.....", "XXXXXX....",
    "XXXXXXX...", "XXXXXXXX..", "XXXXXXXXX.", "XXXXXXXXXX", "XXXXXXX...", "XXXXXX....",
    "XX..XXX...", "X.....XX..", "..........", "..........",
};

bool arrow(i32 r, i32 c) { return shape[r][c] == 'X'; }

// Cells on the arrow's edge: the first column and row, and any cell with
// empty space to its right or below.
bool outline(i32 r, i32 c) {
  if (c >= kOutlinedColumns || !arrow(r, c)) return false;
  return c == 0 || r == 0 || !arrow(r, c + 1) || !arrow(r + 1, c);
}

}  // namespace

void draw_pointer(i32 x, i32 y) {
  DrawScope scope(make_draw_op(draw_op::kPointer, x, y, kShapeColumns, kDrawnRows));
  if (!scope.paint()) return;
  for (i32 r = 0; r < kDrawnRows; ++r)
    for (i32 c = 0; c < kShapeColumns; ++c)
      if (arrow(r, c)) put_pixel(x + c, y + r, 0xFFFFFF);
  for (i32 r = 0; r < kDrawnRows; ++r)
    for (i32 c = 0; c < kShapeColumns; ++c)
      if (outline(r, c)) put_pixel(x + c, y + r, 0x000000);
}

}  // namespace tavlin
