// The back buffer, presentation (whole or in part) and the rectangle fills.
#include "kernel/core/kstring.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

u32 backbuf[kMaxScreenWidth * kMaxScreenHeight];

namespace {

struct Span {
  i32 x0, y0, x1, y1;
};

// Clips (x, y, w, h) to what painting may change; false when nothing is left.
bool clip(i32 x, i32 y, i32 w, i32 h, Span& out) {
  if (w <= 0 || h <= 0) return false;
  const ClipRect area = paint_area();
  // 64-bit ends so that huge sizes cannot wrap around.
  i64 x1 = static_cast<i64>(x) + w;
  i64 y1 = static_cast<i64>(y) + h;
  if (x1 <= area.x0 || y1 <= area.y0) return false;
  out.x0 = x < area.x0 ? area.x0 : x;
  out.y0 = y < area.y0 ? area.y0 : y;
  out.x1 = static_cast<i32>(x1 < area.x1 ? x1 : area.x1);
  out.y1 = static_cast<i32>(y1 < area.y1 ? y1 : area.y1);
  return out.x0 < out.x1 && out.y0 < out.y1;
}

bool paints_at(i32 x, i32 y) {
  const ClipRect area = paint_area();
  return x >= area.x0 && y >= area.y0 && x < area.x1 && y < area.y1;
}

// Copies rows [r.y0, r.y1), columns [r.x0, r.x1) of the back buffer out.
void present_rect(const ClipRect& r) {
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
  auto* dst = reinterpret_cast<u32*>(fb);
  const usize bytes = static_cast<usize>(r.x1 - r.x0) * 4;
  if (fb_pitch_px == fb_width && r.x0 == 0 && r.x1 == static_cast<i32>(fb_width)) {
    memcpy(dst + static_cast<usize>(r.y0) * fb_width, backbuf + static_cast<usize>(r.y0) * fb_width,
           bytes * static_cast<usize>(r.y1 - r.y0));
    return;
  }
  for (i32 row = r.y0; row < r.y1; ++row) {
    memcpy(dst + static_cast<usize>(row) * fb_pitch_px + r.x0, backbuf + static_cast<usize>(row) * fb_width + r.x0,
           bytes);
  }
}

}  // namespace

void present() { present_rect({0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height)}); }

void present_area(const ClipRect& area) { present_rect(on_screen(area)); }

void fill_rect(i32 x, i32 y, i32 w, i32 h, u32 colour) {
  DrawOp op = make_draw_op(draw_op::kFill, x, y, w, h);
  op.v[4] = static_cast<i32>(colour);
  DrawScope scope(op);
  if (!scope.paint()) return;
  Span s;
  if (!clip(x, y, w, h, s)) return;
  const usize width = static_cast<usize>(s.x1 - s.x0);
  u32* row = backbuf + static_cast<usize>(s.y0) * fb_width + s.x0;
  for (i32 yy = s.y0; yy < s.y1; ++yy, row += fb_width) memset32(row, colour, width);
}

void fill_rect_alpha(i32 x, i32 y, i32 w, i32 h, u32 colour, u32 alpha) {
  if (alpha == 0) return;
  if (alpha >= 255) {
    fill_rect(x, y, w, h, colour);
    return;
  }
  DrawOp op = make_draw_op(draw_op::kFillAlpha, x, y, w, h);
  op.v[4] = static_cast<i32>(colour);
  op.v[5] = static_cast<i32>(alpha);
  DrawScope scope(op);
  if (!scope.paint()) return;
  Span s;
  if (!clip(x, y, w, h, s)) return;
  const i32 width = s.x1 - s.x0;
  // Precompute the colour's share once; each pixel then adds its own.
  const u32 inv = 255 - alpha;
  const u32 c_rb = (colour & 0xFF00FF) * alpha;
  const u32 c_g = (colour & 0x00FF00) * alpha;
  u32* row = backbuf + static_cast<usize>(s.y0) * fb_width + s.x0;
  for (i32 yy = s.y0; yy < s.y1; ++yy, row += fb_width) {
    for (i32 i = 0; i < width; ++i) row[i] = blend_share(c_rb, c_g, row[i], inv);
  }
}

void draw_rect_outline(i32 x, i32 y, i32 w, i32 h, u32 colour) {
  if (w > 0) {
    fill_rect(x, y, w, 1, colour);
    fill_rect(x, y + h - 1, w, 1, colour);
  }
  if (h > 0) {
    fill_rect(x, y, 1, h, colour);
    fill_rect(x + w - 1, y, 1, h, colour);
  }
}

void put_pixel(i32 x, i32 y, u32 colour) {
  DrawOp op = make_draw_op(draw_op::kPixel, x, y, 1, 1);
  op.v[4] = static_cast<i32>(colour);
  DrawScope scope(op);
  if (!scope.paint() || !paints_at(x, y)) return;
  backbuf[static_cast<usize>(y) * fb_width + x] = colour;
}

void blend_pixel(i32 x, i32 y, u32 colour, u32 alpha) {
  if (alpha == 0) return;
  DrawOp op = make_draw_op(draw_op::kBlendPixel, x, y, 1, 1);
  op.v[4] = static_cast<i32>(colour);
  op.v[5] = static_cast<i32>(alpha);
  DrawScope scope(op);
  if (!scope.paint() || !paints_at(x, y)) return;
  u32& p = backbuf[static_cast<usize>(y) * fb_width + x];
  p = alpha >= 255 ? colour : blend_colour(colour, p, alpha);
}

}  // namespace tavlin
