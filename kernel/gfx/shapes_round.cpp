// Flat round shapes: the filled disc, the rounded rectangle and the frosted
// glass panel laid over one.
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/gfx/span.h"

namespace tavlin {

using gfx_detail::hspan;
using gfx_detail::isqrt;
using gfx_detail::visible_rows;

namespace {

constexpr u32 kGlassWhite = 0xFFFFFF;
constexpr u32 kGlassFrost = 60;      // white haze over the whole panel
constexpr u32 kGlassShade = 18;      // then a little black, for depth
constexpr u32 kGlassHighlight = 45;  // the light band across the top third
constexpr u32 kGlassSheen = 10;      // a last wash that softens the frame

// The corner columns of one top row k and its mirrored bottom row: the pixels
// at horizontal distance 1..reach from the inner corner, where reach is the
// largest distance still inside the corner circle.
void corner_rows(i64 x, i64 w, i64 r, i64 row, i64 reach, u32 colour) {
  if (reach <= 0) return;
  hspan(x + r - reach, x + r, row, colour);
  hspan(x + w - r, x + w - r + reach, row, colour);
}

// A side shorter than the radius lets the corner rows and columns reach up
// to r past the rectangle: the operation's area covers them.
DrawOp rounded_rect_op(i32 x, i32 y, i32 w, i32 h, i32 r, u32 colour) {
  const i64 x0 = x + (w < r ? static_cast<i64>(w) - r : 0), y0 = y + (h < r ? static_cast<i64>(h) - r : 0);
  const i64 x1 = static_cast<i64>(x) + (w > r ? w : r), y1 = static_cast<i64>(y) + (h > r ? h : r);
  DrawOp op = make_draw_op(draw_op::kRoundedRect, x0, y0, x1 - x0, y1 - y0);
  const i32 identity[] = {x, y, w, h, r, static_cast<i32>(colour)};
  for (i32 i = 0; i < 6; ++i) op.v[i] = identity[i];
  return op;
}

}  // namespace

void fill_circle(i32 cx, i32 cy, i32 r, u32 colour) {
  if (r < 0) return;
  DrawOp op = make_draw_op(draw_op::kCircle, static_cast<i64>(cx) - r, static_cast<i64>(cy) - r,
                           2 * static_cast<i64>(r) + 1, 2 * static_cast<i64>(r) + 1);
  op.v[4] = static_cast<i32>(colour);
  DrawScope scope(op);
  if (!scope.paint()) return;
  const i64 rr = static_cast<i64>(r) * r;
  // Only rows on screen are visited; row dy spans |dx| columns each side.
  const gfx_detail::RowRange rows = visible_rows(static_cast<i64>(cy) - r, 2 * static_cast<i64>(r) + 1);
  for (i64 k = rows.first; k < rows.last; ++k) {
    const i64 dy = k - r;
    const i64 half = isqrt(static_cast<u64>(rr - dy * dy));
    if (half > 0) hspan(static_cast<i64>(cx) - half, static_cast<i64>(cx) + half, static_cast<i64>(cy) + dy, colour);
  }
}

void fill_rounded_rect(i32 x, i32 y, i32 w, i32 h, i32 r, u32 colour) {
  if (r < 0) r = 0;
  DrawScope scope(rounded_rect_op(x, y, w, h, r, colour));
  if (!scope.paint()) return;
  const i64 X = x, Y = y, W = w, H = h, R = r;
  if (W - 2 * R > 0 && H > 0) fill_rect(x + r, y, static_cast<i32>(W - 2 * R), h, colour);
  if (H - 2 * R > 0) {
    fill_rect(x, y + r, r, static_cast<i32>(H - 2 * R), colour);
    fill_rect(static_cast<i32>(X + W - R), y + r, r, static_cast<i32>(H - 2 * R), colour);
  }
  // Corner rows: top row k and bottom row h - 1 - k at distance r - k from
  // the corner circle's centre. Only rows on screen are visited.
  const gfx_detail::RowRange top = visible_rows(Y, R);
  for (i64 k = top.first; k < top.last; ++k) {
    const i64 dy = R - k;
    corner_rows(X, W, R, Y + k, isqrt(static_cast<u64>(R * R - dy * dy)), colour);
  }
  const gfx_detail::RowRange bottom = visible_rows(Y + H - R, R);
  for (i64 j = bottom.first; j < bottom.last; ++j) {
    const i64 k = R - 1 - j;  // bottom row y + h - r + j mirrors top row k
    const i64 dy = R - k;
    corner_rows(X, W, R, Y + H - 1 - k, isqrt(static_cast<u64>(R * R - dy * dy)), colour);
  }
}

void fill_glass_panel(i32 x, i32 y, i32 w, i32 h, i32 r) {
  fill_rounded_rect(x, y, w, h, r, kGlassWhite);
  if (w > 0 && h > 0) {
    fill_rect_alpha(x, y, w, h, kGlassWhite, kGlassFrost);
    fill_rect_alpha(x, y, w, h, 0x000000, kGlassShade);
  }
  if (static_cast<i64>(w) - 2 * static_cast<i64>(r) > 0 && h > 2)
    fill_rect_alpha(x + r, y + 2, w - 2 * r, h / 3, kGlassWhite, kGlassHighlight);
  draw_rect_outline(x, y, w, h, kGlassWhite);
  fill_rect_alpha(x, y, w, h, kGlassWhite, kGlassSheen);
}

}  // namespace tavlin
