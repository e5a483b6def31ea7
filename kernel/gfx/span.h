// Internal helpers of the shaped fills: a clipped one-row span with 64-bit
// ends (so huge shapes cannot wrap around), and an integer square root.
#pragma once
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/types.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"

namespace tavlin::gfx_detail {

// Fills columns [x0, x1) of row y, clipped to what painting may change.
inline void hspan(i64 x0, i64 x1, i64 y, u32 colour) {
  const ClipRect area = paint_area();
  if (y < area.y0 || y >= area.y1) return;
  if (x0 < area.x0) x0 = area.x0;
  if (x1 > area.x1) x1 = area.x1;
  if (x0 >= x1) return;
  memset32(backbuf + static_cast<usize>(y) * fb_width + static_cast<usize>(x0), colour,
           static_cast<usize>(x1 - x0));
}

// Largest s with s * s <= v.
inline u32 isqrt(u64 v) {
  u64 result = 0;
  u64 bit = 1ull << 62;
  while (bit > v) bit >>= 2;
  while (bit) {
    if (v >= result + bit) {
      v -= result + bit;
      result = (result >> 1) + bit;
    } else {
      result >>= 1;
    }
    bit >>= 2;
  }
  return static_cast<u32>(result);
}

// Rows [first, last) of a shape starting at y with h rows that painting may
// change, as row indices relative to y.
struct RowRange {
  i64 first, last;
};
inline RowRange visible_rows(i64 y, i64 h) {
  const ClipRect area = paint_area();
  RowRange r{y < area.y0 ? area.y0 - y : 0, h};
  if (y + h > area.y1) r.last = static_cast<i64>(area.y1) - y;
  if (r.last < r.first) r.last = r.first;
  return r;
}

// The inset of a rounded row at vertical distance dy (1..r) from the corner
// circle's centre line: the smallest a in 1..r with (r - a)^2 + dy^2 <= r^2.
inline i64 corner_inset(i64 r, i64 dy) {
  if (dy >= r) return r;
  const u64 rest = static_cast<u64>(r * r - dy * dy);
  const i64 a = r - static_cast<i64>(isqrt(rest));
  return a < 1 ? 1 : a;
}

}  // namespace tavlin::gfx_detail
