// Every pass without a held button: dragged desktop icons are dropped on a
// folder or the trash, the Finder drops its dragged items, and every drag,
// resize, band and mouse selection in progress ends.
#include "kernel/apps/browser.h"
#include "kernel/apps/store.h"
#include "kernel/core/mouse.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/trash.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/finder_pointer.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

// The folder icon under the point, other than the one being dragged.
i32 folder_under(i32 x, i32 y, i32 anchor) {
  for (i32 i = 0; i < kDesktopIcons; ++i) {
    const DesktopIcon& icon = desktop_icons[i];
    if (i == anchor || !icon.in_use || !fs_is_live_dir(icon.fs_idx)) continue;
    if (desktop_icon_hit(icon, x, y)) return icon.fs_idx;
  }
  return -1;
}

// A release where the press was is a click, not a drop: an icon lying over
// the trash or a folder is selected by it, never deleted or moved.
bool pointer_left_press_point() {
  const DesktopIcon& anchor = desktop_icons[desktop_drag_anchor_idx];
  return mouse_x != anchor.drag_origin_x + desktop_drag_off_x ||
         mouse_y != anchor.drag_origin_y + desktop_drag_off_y;
}

void drop_desktop_icons() {
  if (!desktop_drag_active || desktop_drag_anchor_idx < 0 || desktop_drag_anchor_idx >= kDesktopIcons) return;
  if (!pointer_left_press_point()) return;
  const i32 folder = folder_under(mouse_x, mouse_y, desktop_drag_anchor_idx);
  if (folder >= 0) {
    bool moved = false;
    for (const DesktopIcon& icon : desktop_icons)
      if (icon.in_use && icon.selected && fs_move(icon.fs_idx, folder)) moved = true;
    if (moved) desktop_icons_sync();
  }
  if (trash_hit_test(mouse_x, mouse_y)) {
    for (const DesktopIcon& icon : desktop_icons)
      if (icon.in_use && icon.selected) trash_node(icon.fs_idx);
    desktop_icons_sync();
  }
}

void end_window_gestures(Window& w) {
  w.dragging = 0;
  w.resizing = 0;
  if (w.app == app::kFinder) w.finder_rubber_active = 0;
  if (w.app == app::kTextEdit) {
    w.te_mouse_select = 0;
    if (w.te_sel_anchor == w.te_sel_end) w.te_sel_active = 0;
  }
  if (w.app == app::kStore && w.store) w.store->dragging = 0;
}

}  // namespace

void update_released() {
  drop_desktop_icons();
  desktop_drag_active = 0;
  desktop_drag_anchor_idx = -1;
  desktop_rubber_active = 0;
  for (Window& w : windows)
    if (w.in_use && w.app == app::kFinder) finder_release(w);
  for (Window& w : windows)
    if (w.in_use) end_window_gestures(w);
  browser_state.dragging = 0;
}

}  // namespace tavlin::dispatch
