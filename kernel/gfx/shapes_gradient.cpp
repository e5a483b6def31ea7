// Gradient shapes: the two-colour rounded rectangle and the wallpaper's
// multi-stop capsules, with the stop lists the wallpaper uses. Both ease
// their colours with the same smoothstep.
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/gfx/span.h"

namespace tavlin {

using gfx_detail::corner_inset;
using gfx_detail::hspan;
using gfx_detail::visible_rows;

const ColourStop stopsA[6] = {{0, 0xB6DCF4},  {32, 0x62B6E9}, {50, 0x3462D4},
                              {72, 0x101696}, {90, 0x623FC0}, {100, 0x3462D4}};
const ColourStop stopsB[4] = {{0, 0x62B6E9}, {45, 0xB6DCF4}, {80, 0xF4E7D3}, {100, 0xF4E7D3}};
const ColourStop stopsC[5] = {
    {0, 0x3462D4}, {22, 0x101696}, {58, 0x101696}, {80, 0xF4E7D3}, {100, 0xE6C1A2}};
const ColourStop stopsD[5] = {
    {0, 0x3462D4}, {28, 0x101696}, {62, 0x101696}, {82, 0xF4E7D3}, {100, 0xF4E7D3}};
const ColourStop stopsE[3] = {{0, 0x62B6E9}, {40, 0xB6DCF4}, {100, 0xB6DCF4}};
const ColourStop stopsF[4] = {{0, 0x101696}, {28, 0x3462D4}, {58, 0x62B6E9}, {100, 0xB6DCF4}};
const ColourStop stopsG[4] = {{0, 0x62B6E9}, {38, 0xB6DCF4}, {68, 0x623FC0}, {100, 0xE6C1A2}};
const ColourStop stopsCircleTop[2] = {{0, 0xB6DCF4}, {100, 0x62B6E9}};
const ColourStop stopsCircleMid[3] = {{0, 0x623FC0}, {45, 0xC6A8E0}, {100, 0xE6C1A2}};
const ColourStop stopsCircleTail[2] = {{0, 0x62B6E9}, {100, 0xB6DCF4}};

namespace {

constexpr u32 kPillEdge = 0xA0C6E4;

i32 channel(u32 colour, i32 shift) { return static_cast<i32>((colour >> shift) & 0xFF); }

// Row i of n as a percentage of the height: row 0 is 0, the last row 100.
i32 row_percent(i64 i, i64 n) { return n <= 1 ? 0 : static_cast<i32>(i * 100 / (n - 1)); }

// The colour at t percent along a stop list.
u32 stop_colour(const ColourStop* stops, i32 count, i32 t) {
  if (t <= stops[0].position) return stops[0].colour;
  if (t >= stops[count - 1].position) return stops[count - 1].colour;
  for (i32 k = 0; k + 1 < count; ++k) {
    const ColourStop& a = stops[k];
    const ColourStop& b = stops[k + 1];
    if (a.position > t || t > b.position) continue;
    const i32 length = b.position - a.position;
    if (length <= 0) return a.colour;
    const i32 u = (t - a.position) * 100 / length;
    if (u == 0) return a.colour;
    if (u >= 100) return b.colour;
    return blend_eased(a.colour, b.colour, ease_percent(u));
  }
  return stops[count - 1].colour;  // a list out of order: settle on its end
}

// Inset of row i of a capsule or rounded rectangle h rows tall with corner
// radius r: rows in the top corners measure from the top, rows in the bottom
// corners from the bottom, the rest are not inset.
i64 row_inset(i64 i, i64 h, i64 r) {
  if (i < r) return corner_inset(r, r - i);
  if (i >= h - r) return corner_inset(r, i - (h - r) + 1);
  return 0;
}

}  // namespace

u32 blend_eased(u32 from, u32 to, i32 e) {
  u32 out = 0;
  for (i32 shift = 0; shift <= 16; shift += 8) {
    const i32 c0 = channel(from, shift), c1 = channel(to, shift);
    out |= static_cast<u32>(c0 + (c1 - c0) * e / 100) << shift;
  }
  return out;
}

void fill_rounded_rect_vgrad(i32 x, i32 y, i32 w, i32 h, i32 r, u32 top, u32 bottom) {
  if (w <= 0 || h <= 0) return;
  if (r < 0) r = 0;
  DrawOp op = make_draw_op(draw_op::kGradientRect, x, y, w, h);
  op.v[4] = r;
  op.v[5] = static_cast<i32>(top);
  op.v[6] = static_cast<i32>(bottom);
  DrawScope scope(op);
  if (!scope.paint()) return;
  const gfx_detail::RowRange rows = visible_rows(y, h);
  for (i64 i = rows.first; i < rows.last; ++i) {
    u32 colour = top;
    if (i >= 1) {
      const i32 t = row_percent(i, h);
      colour = t >= 100 ? bottom : blend_eased(top, bottom, ease_percent(t));
    }
    const i64 a = row_inset(i, h, r);
    if (w - 2 * a > 0) hspan(x + a, static_cast<i64>(x) + w - a, y + i, colour);
  }
}

void wp_draw_gradient_pill(i32 x, i32 y, i32 w, i32 h, const ColourStop* stops, i32 count) {
  if (!stops || count <= 0 || w <= 0 || h <= 0) return;
  DrawOp op = make_draw_op(draw_op::kGradientPill, x, y, w, h);
  op.v[4] = count;
  op.ref = reinterpret_cast<uptr>(stops);
  DrawScope scope(op);
  if (!scope.paint()) return;
  const i64 rr = w / 2;
  const gfx_detail::RowRange rows = visible_rows(y, h);
  for (i64 i = rows.first; i < rows.last; ++i) {
    const i64 a = row_inset(i, h, rr);
    if (w - 2 * a <= 0) continue;
    const u32 colour = stop_colour(stops, count, row_percent(i, h));
    hspan(x + a, static_cast<i64>(x) + w - a, y + i, colour);
  }
  // Light edge lines down the straight part of both sides.
  i64 ys = static_cast<i64>(y) + rr, ye = static_cast<i64>(y) + h - rr;
  if (ys < 0) ys = 0;
  if (ye > fb_height) ye = fb_height;
  if (ye > ys) {
    fill_rect(x, static_cast<i32>(ys), 1, static_cast<i32>(ye - ys), kPillEdge);
    fill_rect(static_cast<i32>(static_cast<i64>(x) + w - 1), static_cast<i32>(ys), 1,
              static_cast<i32>(ye - ys), kPillEdge);
  }
}

}  // namespace tavlin
