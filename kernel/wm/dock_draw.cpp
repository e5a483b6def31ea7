// Drawing the dock: the glass panel, one tile per visible record with hover
// magnification, launch bounce and running dot, the separator before the
// dynamic records, the trash, and the hover tooltip.
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/gfx/span.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/dock_parts.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kPanelHeight = 70;
constexpr i32 kPanelRadius = 20;
constexpr i32 kTile = 56;
constexpr i32 kTileHovered = 66;
constexpr i32 kTileRadius = 14;
constexpr u32 kGlossAlpha = 35;
constexpr u32 kBounceTicks = 350;  // the bounce stops after 3.5 s
constexpr u32 kBouncePeriod = 70;
constexpr i32 kBounceHeight = 22;
constexpr u32 kTooltipDelay = 250;

i32 screen_h() { return static_cast<i32>(fb_height); }

// Lift of one bouncing window at e ticks after its launch: up over half a
// period, down over the other half.
i32 bounce_offset(u32 e) {
  const i32 t = static_cast<i32>(e % kBouncePeriod), half = kBouncePeriod / 2;
  if (t < half) {
    const i32 p = 100 * t / half;
    if (p == 0) return 0;
    return -((100 - (100 - p) * (100 - p) / 100) * kBounceHeight / 100);
  }
  const i32 p = 100 * (t - half) / half;
  return -((100 - p) * (100 - p) / 100 * kBounceHeight / 100);
}

// The highest lift over the windows of this kind the user has not clicked yet.
i32 tile_lift(i32 kind) {
  i32 lift = 0;
  const u32 now = ticks_now();
  for (const Window& w : windows) {
    if (!w.in_use || w.minimized || w.launched || static_cast<i32>(w.app) != kind) continue;
    const u32 e = now - w.launch_tick;
    if (e >= kBounceTicks) continue;
    const i32 o = bounce_offset(e);
    if (o < lift) lift = o;
  }
  return lift;
}

const Window* first_window_of(i32 kind) {
  for (const Window& w : windows)
    if (w.in_use && static_cast<i32>(w.app) == kind) return &w;
  return nullptr;
}

void draw_running_dot(i32 kind, i32 tile_x) {
  const Window* w = first_window_of(kind);
  if (!w) return;
  const i32 cx = tile_x + kTile / 2, cy = screen_h() - 10;
  if (!w->minimized) {
    fill_circle(cx, cy, 3, 0x555555);
    return;
  }
  fill_circle(cx, cy, 3, 0xFFFFFF);
  fill_circle(cx, cy, 2, 0x999999);
}

void draw_tile(i32 record, i32 slot_x) {
  const DockItem& d = dock_items[record];
  const bool hovered = record == dock_hover;
  const i32 size = hovered ? kTileHovered : kTile;
  const i32 grow = (kTileHovered - kTile) / 2;
  const i32 x = hovered ? slot_x - grow : slot_x;
  const i32 y = (hovered ? screen_h() - 76 : screen_h() - 66) + tile_lift(d.app);
  fill_rounded_rect(x, y, size, size, kTileRadius, d.color);
  blend_rounded_rows(x, y, size, size / 2, kTileRadius, 0xFFFFFF, kGlossAlpha);
  draw_dock_glyph(d.app, x, y, size);
  draw_running_dot(d.app, slot_x);
}

void draw_separator(const DockLayout& l) {
  if (dock_dynamic_count <= 0) return;
  const i32 x = l.left + 70 * l.pinned + 4, y = screen_h() - 62;
  fill_rect_alpha(x, y, 1, 48, 0x000000, 40);
  fill_rect_alpha(x + 1, y, 1, 48, 0xFFFFFF, 60);
}

}  // namespace

void blend_rounded_rows(i32 x, i32 y, i32 size, i32 rows, i32 radius, u32 colour, u32 alpha) {
  for (i32 i = 0; i < rows && i < size; ++i) {
    i32 inset = 0;
    if (i < radius) {
      const i32 dy = radius - i;
      inset = radius - static_cast<i32>(gfx_detail::isqrt(static_cast<u64>(radius * radius - dy * dy)));
    }
    fill_rect_alpha(x + inset, y + i, size - 2 * inset, 1, colour, alpha);
  }
}

void draw_dock() {
  const DockLayout l = dock_layout();
  fill_glass_panel(l.left, screen_h() - 76, l.width, kPanelHeight, kPanelRadius);
  for (i32 s = 0; s < l.slots; ++s) {
    const i32 record = dock_record_for_slot(s);
    if (record >= 0) draw_tile(record, dock_slot_x(l, s));
  }
  draw_separator(l);
  draw_dock_trash();
  if (trash_confirm_active) draw_trash_confirm();
}

void draw_dock_tooltip() {
  if (dock_hover < 0 || dock_hover >= kDockSlots) return;
  if (ticks_now() - dock_hover_start_tick < kTooltipDelay) return;
  const char* label = dock_items[dock_hover].label;
  const i32 len = static_cast<i32>(strlen(label));
  if (len == 0) return;
  const i32 W = static_cast<i32>(fb_width);
  const i32 tw = 8 * len + 16;
  i32 tx = mouse_x - tw / 2;
  if (tx < 2) tx = 2;
  if (tx + tw > W - 2) tx = W - 2 - tw;
  i32 ty = mouse_y - 32;
  if (ty < 2) ty = 2;
  fill_rect_alpha(tx + 2, ty + 2, tw, 18, 0x000000, 70);
  fill_rounded_rect(tx, ty, tw, 18, 5, 0x2C2C2E);
  draw_text(tx + 8, ty + 5, label, 0xFFFFFF, 1);
}

}  // namespace tavlin
