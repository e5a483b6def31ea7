// The back buffer, presentation and the rectangle fills.
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

u32 backbuf[kMaxScreenWidth * kMaxScreenHeight];

namespace {

struct Span {
  i32 x0, y0, x1, y1;
};

// Clips (x, y, w, h) to the screen; false when nothing is left.
bool clip(i32 x, i32 y, i32 w, i32 h, Span& out) {
  if (w <= 0 || h <= 0) return false;
  // 64-bit ends so that huge sizes cannot wrap around.
  i64 x1 = static_cast<i64>(x) + w;
  i64 y1 = static_cast<i64>(y) + h;
  if (x1 <= 0 || y1 <= 0) return false;
  out.x0 = x < 0 ? 0 : x;
  out.y0 = y < 0 ? 0 : y;
  out.x1 = static_cast<i32>(x1 < fb_width ? x1 : fb_width);
  out.y1 = static_cast<i32>(y1 < fb_height ? y1 : fb_height);
  return out.x0 < out.x1 && out.y0 < out.y1;
}

}  // namespace

void present() {
  auto* dst = reinterpret_cast<u32*>(fb);
  if (fb_pitch_px == fb_width) {
    memcpy(dst, backbuf, static_cast<usize>(fb_width) * fb_height * 4);
    return;
  }
  for (u32 row = 0; row < fb_height; ++row) {
    memcpy(dst + static_cast<usize>(row) * fb_pitch_px, backbuf + static_cast<usize>(row) * fb_width,
           static_cast<usize>(fb_width) * 4);
  }
}

void fill_rect(i32 x, i32 y, i32 w, i32 h, u32 colour) {
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
  if (x < 0 || y < 0 || static_cast<u32>(x) >= fb_width || static_cast<u32>(y) >= fb_height) return;
  backbuf[static_cast<usize>(y) * fb_width + x] = colour;
}

void blend_pixel(i32 x, i32 y, u32 colour, u32 alpha) {
  if (alpha == 0) return;
  if (x < 0 || y < 0 || static_cast<u32>(x) >= fb_width || static_cast<u32>(y) >= fb_height) return;
  u32& p = backbuf[static_cast<usize>(y) * fb_width + x];
  p = alpha >= 255 ? colour : blend_colour(colour, p, alpha);
}

}  // namespace tavlin
