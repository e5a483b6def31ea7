// Every pass while a button is held: the desktop's rubber band and icon
// drag follow the pointer, windows move and resize, Finder and TextEdit
// selections grow, and scrollbar thumbs are dragged.
#include "kernel/apps/browser.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/finder_pointer.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kLowestTop = 28;  // windows and icons stay below the top bar
constexpr i32 kMinW = 180, kMinH = 100;
constexpr i32 kDockBand = 76;
constexpr i32 kBandBoxW = 72, kBandBoxAbove = 4, kBandBoxBelow = 96;

i32 max_of(i32 a, i32 b) { return a > b ? a : b; }
i32 min_of(i32 a, i32 b) { return a < b ? a : b; }

void update_rubber_band() {
  if (!desktop_rubber_active) return;
  desktop_rubber_cur_x = mouse_x;
  desktop_rubber_cur_y = mouse_y;
  const i32 minx = min_of(desktop_rubber_start_x, mouse_x), maxx = max_of(desktop_rubber_start_x, mouse_x);
  const i32 miny = min_of(desktop_rubber_start_y, mouse_y), maxy = max_of(desktop_rubber_start_y, mouse_y);
  for (DesktopIcon& icon : desktop_icons) {
    if (!icon.in_use) continue;
    const bool touched = minx < icon.x + kBandBoxW && icon.x < maxx && icon.y - kBandBoxAbove < maxy &&
                         miny < icon.y + kBandBoxBelow;
    if (touched)
      icon.selected = 1;
    else if (!desktop_rubber_additive)
      icon.selected = 0;
  }
}

// Every selected icon keeps its offset from the grabbed one.
void update_icon_drag() {
  if (!desktop_drag_active || desktop_drag_anchor_idx < 0 || desktop_drag_anchor_idx >= kDesktopIcons) return;
  const DesktopIcon& anchor = desktop_icons[desktop_drag_anchor_idx];
  const i32 ay = max_of(kLowestTop, mouse_y - desktop_drag_off_y);
  const i32 dx = mouse_x - desktop_drag_off_x - anchor.drag_origin_x;
  const i32 dy = ay - anchor.drag_origin_y;
  for (DesktopIcon& icon : desktop_icons) {
    if (!icon.in_use || !icon.selected) continue;
    icon.x = icon.drag_origin_x + dx;
    icon.y = max_of(kLowestTop, icon.drag_origin_y + dy);
  }
}

// Never below the minimum size, past the screen's right edge or into the
// dock's band.
void update_resize(Window& w) {
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  w.h = min_of(max_of(mouse_y - w.y + w.resize_dy, kMinH), max_of(H - kDockBand - w.y, kMinH));
  w.w = min_of(max_of(mouse_x - w.x + w.resize_dx, kMinW), max_of(W - w.x, kMinW));
}

// A maximised window is restored first, its grab point kept at the same
// place along the narrower title bar.
void update_move(Window& w) {
  if (w.maximized) {
    const i32 old_w = w.w;
    win_toggle_maximize(w);
    if (old_w != 0) w.drag_dx = static_cast<i32>(static_cast<i64>(w.drag_dx) * w.w / old_w);
  }
  w.x = mouse_x - w.drag_dx;
  w.y = max_of(kLowestTop, mouse_y - w.drag_dy);
}

void update_textedit_selection(Window& w) {
  if (!w.te_mouse_select || !in_textedit_text_area(w, mouse_x, mouse_y)) return;
  const i32 pos = textedit_position_at(w, mouse_x, mouse_y);
  if (pos < 0) return;
  w.te_sel_end = pos;
  w.te_sel_active = 1;
}

void update_window(Window& w) {
  if (w.resizing) update_resize(w);
  if (w.dragging) update_move(w);
  if (w.app == app::kFinder) finder_held(w);
  if (w.app == app::kTextEdit) update_textedit_selection(w);
}

void update_browser_thumb(Window& w) {
  BrowserState& b = browser_state;
  if (!b.dragging) return;
  const i32 columns = w.w <= 95 ? 8 : (w.w - 32) / 8;
  const i32 total = browser_wrap_lines(b.text_len, columns, line_starts);
  const i32 visible = w.h > 96 ? (w.h - 85) / 12 : 1;
  if (total - visible < 1) return;
  const i32 track = w.h - 89;
  const i32 thumb = min_of(max_of(visible * track / total, 20), track);
  const i32 free = track - thumb;
  if (free <= 0) return;
  const i32 offset = min_of(max_of(mouse_y - (w.y + 68) - b.drag_offset, 0), free);
  b.scroll = static_cast<u32>(offset * (total - visible) / free);
}

}  // namespace

void update_held() {
  update_rubber_band();
  update_icon_drag();
  for (Window& w : windows)
    if (w.in_use) update_window(w);
  for (Window& w : windows)
    if (w.in_use && w.app == app::kStore) update_store_thumb(w);
  Window* focused = win_focused();
  if (focused && focused->app == app::kBrowser) update_browser_thumb(*focused);
}

}  // namespace tavlin::dispatch
