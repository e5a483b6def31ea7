// The drawing calls: pixels, rectangles, outlines, circles, lines and text,
// straight into the back buffer at screen coordinates. Programs pass any
// 32-bit values, so every sum is taken in 64 bits and clipped before the
// screen's own routines see it.
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/script/vm_parts.h"

namespace tavlin::vm {
namespace {

constexpr i64 kGlyph = 8;
constexpr i64 kLineAdvance = 10;

i64 screen_w() { return fb_width; }
i64 screen_h() { return fb_height; }

// A filled rectangle given in 64 bits, clipped to the screen.
void fill_clipped(i64 x, i64 y, i64 w, i64 h, u32 colour) {
  const i64 x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
  const i64 x1 = x + w > screen_w() ? screen_w() : x + w;
  const i64 y1 = y + h > screen_h() ? screen_h() : y + h;
  if (x0 < x1 && y0 < y1)
    fill_rect(static_cast<i32>(x0), static_cast<i32>(y0), static_cast<i32>(x1 - x0), static_cast<i32>(y1 - y0),
              colour);
}

// Text whose glyphs may all lie off screen is skipped; what is left starts
// close enough to the screen that the pen cannot overflow.
void text_clipped(i64 x, i64 y, const char* text, u32 colour) {
  i64 lines = 1, longest = 0, run = 0;
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') {
      ++lines;
      run = 0;
    } else if (++run > longest) {
      longest = run;
    }
  }
  if (x >= screen_w() || y >= screen_h()) return;
  if (x + kGlyph * longest <= 0 || y + kLineAdvance * lines <= 0) return;
  draw_text(static_cast<i32>(x), static_cast<i32>(y), text, colour, 1);
}

i64 magnitude(i64 v) { return v < 0 ? -v : v; }

// i * d / n truncated toward zero, for 0 <= i <= n and |d| <= n < 2^32: the
// product fits in 64 unsigned bits.
i64 scaled(i64 i, i64 d, i64 n) {
  const u64 q = static_cast<u64>(i) * static_cast<u64>(magnitude(d)) / static_cast<u64>(n);
  return d < 0 ? -static_cast<i64>(q) : static_cast<i64>(q);
}

// The steps i in [0, n] whose major coordinate c0 + i * sign lies in [0, limit).
void visible_steps(i64 c0, i64 d, i64 n, i64 limit, i64& first, i64& last) {
  if (d > 0) {
    first = -c0;
    last = limit - 1 - c0;
  } else {
    first = c0 - (limit - 1);
    last = c0;
  }
  if (first < 0) first = 0;
  if (last > n) last = n;
}

}  // namespace

i32 sys_draw_pixel(Call& c) {
  put_pixel(c.arg[1], c.arg[2], static_cast<u32>(c.arg[0]));
  return 1;
}

i32 sys_draw_rect(Call& c) {
  if (c.arg[3] >= 1 && c.arg[4] >= 1) fill_rect(c.arg[1], c.arg[2], c.arg[3], c.arg[4], static_cast<u32>(c.arg[0]));
  return 1;
}

i32 sys_draw_text(Call& c) {
  const char* text = text_at(c.vm, address_arg(c, 3));
  if (!text) return 0;
  text_clipped(c.arg[1], c.arg[2], text, static_cast<u32>(c.arg[0]));
  return 1;
}

i32 sys_draw_text_center(Call& c) {
  const char* text = text_at(c.vm, address_arg(c, 3));
  if (!text) return 0;
  const i64 length = strlen(text);
  text_clipped(c.arg[1] - kGlyph * length / 2, static_cast<i64>(c.arg[2]) - 4, text, static_cast<u32>(c.arg[0]));
  return 1;
}

i32 sys_draw_circle(Call& c) {
  fill_circle(c.arg[1], c.arg[2], c.arg[3], static_cast<u32>(c.arg[0]));
  return 1;
}

// Points (x0 + i*dx/n, y0 + i*dy/n) for i = 0..n, n = max(|dx|, |dy|). Along
// the major axis each step moves one pixel, so only the steps that land on
// the screen are visited: at most a screen's width or height of them.
i32 sys_draw_line(Call& c) {
  const u32 colour = static_cast<u32>(c.arg[0]);
  const i64 x0 = c.arg[1], y0 = c.arg[2];
  const i64 dx = static_cast<i64>(c.arg[3]) - x0, dy = static_cast<i64>(c.arg[4]) - y0;
  const i64 n = magnitude(dx) > magnitude(dy) ? magnitude(dx) : magnitude(dy);
  if (n == 0) {
    put_pixel(c.arg[1], c.arg[2], colour);
    return 1;
  }
  const bool x_major = magnitude(dx) == n;
  i64 first, last;
  if (x_major)
    visible_steps(x0, dx, n, screen_w(), first, last);
  else
    visible_steps(y0, dy, n, screen_h(), first, last);
  for (i64 i = first; i <= last; ++i) {
    const i64 x = x0 + scaled(i, dx, n), y = y0 + scaled(i, dy, n);
    if (x >= 0 && x < screen_w() && y >= 0 && y < screen_h()) put_pixel(static_cast<i32>(x), static_cast<i32>(y), colour);
  }
  return 1;
}

// Rows y and y + h - 1 when w > 0, columns x and x + w - 1 when h > 0.
i32 sys_draw_rect_outline(Call& c) {
  const u32 colour = static_cast<u32>(c.arg[0]);
  const i64 x = c.arg[1], y = c.arg[2], w = c.arg[3], h = c.arg[4];
  if (w > 0) {
    fill_clipped(x, y, w, 1, colour);
    fill_clipped(x, y + h - 1, w, 1, colour);
  }
  if (h > 0) {
    fill_clipped(x, y, 1, h, colour);
    fill_clipped(x + w - 1, y, 1, h, colour);
  }
  return 1;
}

}  // namespace tavlin::vm
