// The thin globe symbol of the Finder and browser tiles: a circle, an
// equator band and a meridian lens, drawn pixel by pixel in white.
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/gfx/span.h"

namespace tavlin {

using gfx_detail::isqrt;

namespace {

constexpr u32 kGlobeLine = 0xFFFFFF;
constexpr u32 kGlobeFrame = 0x000000;

// Sets (x, y) when it fits in 32 bits; put_pixel does the screen clipping.
void dot(i64 x, i64 y) {
  if (x < -1 || y < -1 || x > 0x7FFFFFFF || y > 0x7FFFFFFF) return;
  put_pixel(static_cast<i32>(x), static_cast<i32>(y), kGlobeLine);
}

void circle(i64 cx, i64 cy, i64 r) {
  const i64 rr = r * r;
  for (i64 d = -r; d <= r; ++d) {
    const i64 s = isqrt(static_cast<u64>(rr - d * d));
    dot(cx - s, cy + d);
    dot(cx + s, cy + d);
    dot(cx + d, cy - s);
    dot(cx + d, cy + s);
  }
}

void meridian_lens(i64 cx, i64 cy, i64 r) {
  const i64 rr = r * r, span = 2 * r + 1;
  for (i64 d = 2 - r; d < r - 2; ++d) {
    const i64 half = (rr - d * d) / span;
    if (half <= 0) continue;
    dot(cx - half, cy + d);
    dot(cx + half, cy + d);
    dot(cx + d, cy - half);
    dot(cx + d, cy + half);
  }
}

}  // namespace

void draw_globe_outline(i32 cx, i32 cy, i32 r) {
  if (r < 0) return;
  DrawScope scope(make_draw_op(draw_op::kGlobe, static_cast<i64>(cx) - r, static_cast<i64>(cy) - r,
                               2 * static_cast<i64>(r) + 1, 2 * static_cast<i64>(r) + 1));
  if (!scope.paint()) return;
  draw_rect_outline(cx - r, cy - r, 2 * r + 1, 2 * r + 1, kGlobeFrame);
  circle(cx, cy, r);
  draw_rect_outline(cx - r, cy - 1, 2 * r + 1, 3, kGlobeLine);
  meridian_lens(cx, cy, r);
}

}  // namespace tavlin
