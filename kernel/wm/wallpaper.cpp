// The wallpaper: the sky fill, then the column table repeated across the
// screen, each column a gradient capsule reaching above and below the screen
// (or, for the circle column, a stack of discs and short capsules). It depends
// only on the screen size, so it is painted once and copied on every frame,
// only where the frame is being composed.
#include "kernel/wm/wallpaper.h"

#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

const WallpaperColumn cols[kWallpaperColumns] = {
    {78, -60, 700, stopsA, 6, 0}, {66, -90, 730, stopsB, 4, 0}, {84, -50, 690, stopsC, 5, 0},
    {62, 0, 0, nullptr, 0, 1},    {84, -80, 710, stopsD, 5, 0}, {80, -40, 680, stopsE, 3, 0},
    {70, -70, 660, stopsF, 4, 0}, {76, -30, 650, stopsG, 4, 0},
};

namespace {

constexpr u32 kSky = 0xC6E4F6;
constexpr i32 kDesignWidth = 560;
constexpr i32 kOverhang = 39;  // columns start until x passes W + 39
constexpr i32 kMinPill = 4;

i32 scaled(i32 units, i32 screen_w) { return units * screen_w / kDesignWidth; }

void draw_circle_column(i32 x, i32 pw, i32 gap, i32 screen_w, i32 screen_h) {
  const i32 y1 = -scaled(20, screen_w);
  wp_draw_gradient_pill(x, y1, pw, pw, stopsCircleTop, 2);
  const i32 y2 = y1 + pw + gap, mid_h = 5 * pw / 4;
  wp_draw_gradient_pill(x, y2, pw, mid_h, stopsCircleMid, 3);
  const i32 y3 = y2 + mid_h + gap;
  wp_draw_gradient_pill(x, y3, pw, pw, stopsCircleMid, 3);
  const i32 y4 = y3 + pw + gap;
  if (screen_h - y4 + 60 > 0) wp_draw_gradient_pill(x, y4, pw, screen_h - y4 + 60, stopsCircleTail, 2);
}

// The painted wallpaper, and the screen size it was painted for (0 x 0: none).
u32 cached[kMaxScreenWidth * kMaxScreenHeight];
u32 cached_width, cached_height;

usize screen_bytes() { return static_cast<usize>(fb_width) * fb_height * sizeof(u32); }

// Paints the cache for the current screen size: the whole screen, whatever
// part of it the frame being composed may change.
void repaint_cache() {
  ClipRect clip;
  const bool clipped = paint_clip_get(&clip);
  paint_clip_clear();
  paint_wallpaper();
  if (clipped) paint_clip_set(clip);
  memcpy(cached, backbuf, screen_bytes());
  cached_width = fb_width;
  cached_height = fb_height;
}

}  // namespace

void draw_wallpaper() {
  DrawScope scope(make_draw_op(draw_op::kWallpaper, 0, 0, fb_width, fb_height));
  if (!scope.paint()) return;
  if (cached_width != fb_width || cached_height != fb_height) repaint_cache();
  const ClipRect a = paint_area();
  if (a.x0 >= a.x1) return;
  const usize width = static_cast<usize>(a.x1 - a.x0);
  for (i32 y = a.y0; y < a.y1; ++y) {
    const usize at = static_cast<usize>(y) * fb_width + static_cast<usize>(a.x0);
    memcpy(backbuf + at, cached + at, width * sizeof(u32));
  }
}

void paint_wallpaper() {
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  fill_rect(0, 0, W, H, kSky);
  const i32 gap = 6 * W >= 2 * kDesignWidth ? scaled(6, W) : 2;
  i32 x = scaled(2, W);
  for (i32 i = 0; x <= W + kOverhang; ++i) {
    const WallpaperColumn& c = cols[i % kWallpaperColumns];
    const i32 pw = c.width * W >= kMinPill * kDesignWidth ? scaled(c.width, W) : kMinPill;
    if (c.circle)
      draw_circle_column(x, pw, gap, W, H);
    else if (c.height * W >= kDesignWidth)
      wp_draw_gradient_pill(x, scaled(c.y_offset, W), pw, scaled(c.height, W), c.stops, c.stop_count);
    x += pw + gap;
  }
}

}  // namespace tavlin
