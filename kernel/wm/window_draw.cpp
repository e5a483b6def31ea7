// Drawing the windows: the visible ones sorted back to front, each in the
// frame its animation or opening scale gives it, with its chrome, its
// application's content and the white veil of a fading window.
#include "kernel/apps/apps.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/render.h"
#include "kernel/wm/render_parts.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kOpeningTicks = 18;
constexpr i32 kMinDrawn = 4;
constexpr u32 kVeil = 0xFFFFFF;
constexpr u32 kAnimVeilMax = 220;
constexpr u32 kOutline = 0xB0B0B0;
constexpr u32 kDebugEvery = 100;  // ticks between window-drawing log lines
constexpr i32 kCornerRadius = 10;
constexpr u32 kShadowAlpha = 60;

struct Frame {
  i32 x, y, w, h;
};

// The drop shadow, offset (6, 8) under the window. The body is drawn over
// it at once and hides all of it but two strips and the corners outside
// the body's rounding, so only those are blended; the picture is the same
// as blending the whole rectangle.
void draw_shadow(i32 x, i32 y, i32 w, i32 h) {
  constexpr i32 dx = 6, dy = 8;
  if (w < 2 * kCornerRadius || h < 2 * kCornerRadius) {
    fill_rect_alpha(x + dx, y + dy, w, h, 0x000000, kShadowAlpha);
    return;
  }
  const i32 r = kCornerRadius;
  fill_rect_alpha(x + w, y + dy, dx, h, 0x000000, kShadowAlpha);       // right strip
  fill_rect_alpha(x + dx, y + h, w - dx, dy, 0x000000, kShadowAlpha);  // bottom strip
  // The body's corner squares, which its rounding leaves partly open, each
  // clipped to the shadow; the four do not overlap.
  fill_rect_alpha(x + dx, y + dy, r - dx, r - dy, 0x000000, kShadowAlpha);
  fill_rect_alpha(x + w - r, y + dy, r, r - dy, 0x000000, kShadowAlpha);
  fill_rect_alpha(x + dx, y + h - r, r - dx, r, 0x000000, kShadowAlpha);
  fill_rect_alpha(x + w - r, y + h - r, r, r, 0x000000, kShadowAlpha);
}

i32 lerp(i32 from, i32 to, i32 q) { return from + (to - from) * q / 100; }

// The rectangle an animating window is drawn in, and its veil.
Frame animated_frame(const Window& w, u32* veil) {
  const i32 q = win_anim_progress(w);
  Frame f{lerp(w.anim_from_x, w.anim_to_x, q), lerp(w.anim_from_y, w.anim_to_y, q),
          lerp(w.anim_from_w, w.anim_to_w, q), lerp(w.anim_from_h, w.anim_to_h, q)};
  if (f.w < kMinDrawn) f.w = kMinDrawn;
  if (f.h < kMinDrawn) f.h = kMinDrawn;
  const u32 rising = static_cast<u32>(q) * kAnimVeilMax / 100;
  if (w.anim_kind == anim::kClose || w.anim_kind == anim::kMinimize)
    *veil = rising;
  else if (w.anim_kind == anim::kRestore)
    *veil = kAnimVeilMax - rising;
  else
    *veil = 0;
  return f;
}

// One side of an opening window, scaled about the window's centre.
void scale_side(i32 pos, i32 size, i32 scale, i32* out_pos, i32* out_size) {
  const i32 centre = pos + size / 2;
  i32 drawn = size * scale / 100;
  if (size * scale < 100 * kMinDrawn) drawn = kMinDrawn;
  *out_size = drawn;
  *out_pos = centre - drawn / 2;
}

// A window opened e ticks ago grows from 60 % under a fading white veil.
Frame opening_frame(const Window& w, u32 e, u32* veil) {
  i32 scale = 60;
  *veil = 200;
  if (e > 0) {
    const i32 u = static_cast<i32>(100 * e / kOpeningTicks);
    const i32 v = (100 - u) * (100 - u) / 100;
    scale = (100 - v) * 40 / 100 + 60;
    *veil = static_cast<u32>(2 * v);
  }
  Frame f;
  scale_side(w.x, w.w, scale, &f.x, &f.w);
  scale_side(w.y, w.h, scale, &f.y, &f.h);
  return f;
}

void draw_content(Window& w, const Frame& f) {
  const i32 cx = f.x + 1, cy = f.y + 30, cw = f.w - 2, ch = f.h - 31;
  switch (w.app) {
    case app::kAbout: draw_app_about(cx, cy); break;
    case app::kClock: draw_app_clock(cx, cy, cw, ch); break;
    case app::kTerminal: draw_app_terminal(&w, cx, cy, cw, ch); break;
    case app::kFinder: draw_app_finder(&w, cx, cy, cw, ch); break;
    case app::kTextEdit: draw_app_textedit(&w, cx, cy, cw, ch); break;
    case app::kImageViewer: draw_app_imageview(&w, cx, cy, cw, ch); break;
    case app::kTrash: draw_app_trash(cx, cy, cw, ch); break;
    case app::kBrowser: browser_app(&w, cx, cy, cw, ch, 1, 0, 0); break;
    case app::kMediaPlayer: draw_app_mediaplayer(&w, cx, cy, cw, ch); break;
    case app::kStore: draw_app_zivirerev(w.store, cx, cy, cw, ch); break;
    default: break;
  }
}

void serial_signed(i32 v) {
  if (v < 0) {
    serial_puts("-");
    serial_dec32(0u - static_cast<u32>(v));
    return;
  }
  serial_dec32(static_cast<u32>(v));
}

void log_normal_draw(const Window& w) {
  const u32 now = ticks_now();
  if (now - last_dbg_tick <= kDebugEvery) return;
  last_dbg_tick = now;
  serial_puts("[DRAW-DBG] slot=");
  serial_signed(win_index(w));
  serial_puts(" app=");
  serial_dec32(w.app);
  serial_puts(" img_fs_idx=");
  serial_signed(w.image_node);
  serial_puts(" text_fs_idx=");
  serial_signed(w.doc_node);
  serial_puts(" title=");
  serial_puts(w.title);
  serial_puts("\n");
}

void draw_chrome_in(Window& w, const Frame& f, bool focused);

// Paints the window in frame f (an animation's in-between size); the window
// record itself keeps its real frame throughout.
void paint_in_frame(Window& w, const Frame& f, bool focused, bool chrome, u32 veil) {
  if (chrome) {
    draw_chrome_in(w, f, focused);
  } else {
    draw_shadow(f.x, f.y, f.w, f.h);
    fill_rounded_rect(f.x, f.y, f.w, f.h, kCornerRadius, 0xECECEC);
    draw_rect_outline(f.x, f.y, f.w, f.h, kOutline);
  }
  fill_rect_alpha(f.x, f.y, f.w, f.h, kVeil, veil);
}

void draw_one(Window& w) {
  const bool focused = focused_window == win_index(w);
  u32 veil = 0;
  if (w.anim_kind != anim::kNone) {
    const Frame f = animated_frame(w, &veil);
    paint_in_frame(w, f, focused, f.h >= 40 && f.w >= 60, veil);
    return;
  }
  const u32 since_launch = ticks_now() - w.launch_tick;
  if (since_launch < kOpeningTicks) {
    const Frame f = opening_frame(w, since_launch, &veil);
    paint_in_frame(w, f, focused, true, veil);
    return;
  }
  draw_window_chrome(w, focused);
  log_normal_draw(w);
}

void draw_chrome_in(Window& w, const Frame& f, bool focused) {
  const i32 x = f.x, y = f.y, ww = f.w, h = f.h;
  const u32 title_bar = focused ? 0xD8D8D8 : 0xE4E4E4;
  draw_shadow(x, y, ww, h);
  // From 20 x 40 on, the body and the rounded title shape stay inside the
  // frame, where the title bar, the content background and the outline
  // cover every pixel of them; they are only drawn for smaller frames.
  const bool covered = ww >= 2 * kCornerRadius && h >= 40;
  if (!covered) fill_rounded_rect(x, y, ww, h, kCornerRadius, 0xECECEC);
  fill_rect(x + 1, y + 1, ww - 2, 29, title_bar);
  if (!covered) fill_rounded_rect(x, y, ww, 40, kCornerRadius, title_bar);
  fill_rect(x + 1, y + 30, ww - 2, 10, title_bar);
  fill_circle(x + 16, y + 15, 6, 0xFF5F57);
  fill_circle(x + 36, y + 15, 6, 0xFEBC2E);
  fill_circle(x + 56, y + 15, 6, 0x28C840);
  draw_text_centered(x + ww / 2, y + 11, w.title, 0x1C1C1C, 1);
  draw_rect_outline(x, y, ww, h, kOutline);
  fill_rect(x + 1, y + 30, ww - 2, h - 31, 0xECECEC);
  draw_content(w, f);
  // The grip goes on last: drawn under the content it would never be seen.
  if (!w.maximized && ww > 13 && h > 13) {
    fill_rect(x + ww - 5, y + h - 9, 3, 1, 0x888888);
    fill_rect(x + ww - 8, y + h - 6, 6, 1, 0x888888);
    fill_rect(x + ww - 11, y + h - 3, 9, 1, 0x888888);
  }
}

}  // namespace

void draw_window_chrome(Window& w, bool focused) { draw_chrome_in(w, Frame{w.x, w.y, w.w, w.h}, focused); }

void draw_windows() {
  Window* order[kMaxWindows];
  i32 n = 0;
  for (Window& w : windows)
    if (w.in_use && !w.minimized) order[n++] = &w;
  for (i32 i = 0; i + 1 < n; ++i)
    for (i32 j = 0; j + 1 < n - i; ++j)
      if (order[j]->z > order[j + 1]->z) {
        Window* t = order[j];
        order[j] = order[j + 1];
        order[j + 1] = t;
      }
  for (i32 i = 0; i < n; ++i) draw_one(*order[i]);
}

}  // namespace tavlin
