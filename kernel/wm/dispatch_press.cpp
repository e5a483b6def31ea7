// A left press on the desktop's layers in order of precedence: the dock
// above everything, then a window over the trash and the icons, then an
// icon, the trash and the empty desktop, with what each press does there.
#include "kernel/apps/finder.h"
#include "kernel/apps/trash_window.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

// Windows on their way out are skipped: a press on the dock then opens a
// fresh window instead of focusing one that is about to vanish.
Window* first_window_showing(i32 node) {
  for (Window& w : windows)
    if (w.in_use && !win_is_closing(w) && (w.doc_node == node || w.image_node == node)) return &w;
  return nullptr;
}

Window* first_plain_window_of(i32 kind) {
  for (Window& w : windows)
    if (w.in_use && !win_is_closing(w) && static_cast<i32>(w.app) == kind && w.doc_node < 0 && w.image_node < 0)
      return &w;
  return nullptr;
}

void log_dock_press(i32 index, const DockItem& d) {
  serial_puts("[DOCK-DBG] click idx=");
  serial_dec32(static_cast<u32>(index));
  serial_puts(" item->app=");
  serial_dec32(static_cast<u32>(d.app));
  serial_puts(" item->fs_idx=");
  serial_dec32(static_cast<u32>(d.fs_idx + 1));
  serial_puts(" item->label=");
  serial_puts(d.label);
  serial_puts("\n");
}

// A file tile brings back the file's window; an application tile brings
// back, hides or raises the application's window, or launches it.
void press_dock(i32 index) {
  const DockItem& d = dock_items[index];
  log_dock_press(index, d);
  if (d.is_file && d.fs_idx >= 0) {
    if (Window* w = first_window_showing(d.fs_idx))
      win_restore_and_focus(*w);
    else
      open_file_in_app(d.fs_idx);
    return;
  }
  Window* w = first_plain_window_of(d.app);
  if (!w)
    open_app(d.app);
  else if (w->minimized)
    win_restore_and_focus(*w);
  else if (focused_window == win_index(*w))
    win_minimize(*w);
  else
    win_focus_and_raise(*w);
}

void press_trash() {
  const u32 now = ticks_now();
  if (now - trash_last_click_tick < kDoubleClickTicks) {
    open_trash_window();
    trash_last_click_tick = 0;
  } else {
    trash_last_click_tick = now;
  }
}

void start_rubber_band(i32 cx, i32 cy) {
  desktop_rubber_start_x = desktop_rubber_cur_x = cx;
  desktop_rubber_start_y = desktop_rubber_cur_y = cy;
  desktop_rubber_active = 1;
  desktop_rubber_additive = ctrl_held() || shift_held() ? 1 : 0;
  if (!desktop_rubber_additive)
    for (DesktopIcon& icon : desktop_icons) icon.selected = 0;
}

// A folder is shown in the Finder, which exists once at most.
void open_icon(const DesktopIcon& icon) {
  const i32 node = icon.fs_idx;
  if (!fs_is_live(node)) return;
  if (fs_nodes[node].kind == kFsFile) {
    open_file_in_app(node);
    return;
  }
  open_app(static_cast<i32>(app::kFinder));
  for (Window& w : windows) {
    if (!w.in_use || win_is_closing(w) || w.app != app::kFinder) continue;
    finder_enter_folder(w, node);
    return;
  }
}

// Pressing an icon that is already selected keeps the whole selection, so
// the group can be dragged.
void select_on_press(DesktopIcon& icon) {
  if (ctrl_held() || shift_held()) {
    icon.selected = icon.selected ? 0 : 1;
  } else if (!icon.selected) {
    for (DesktopIcon& other : desktop_icons) other.selected = 0;
    icon.selected = 1;
  }
}

// The grabbed icon records its origin even when a toggle has just
// deselected it: the others move relative to it.
void start_icon_drag(DesktopIcon& icon, i32 cx, i32 cy) {
  desktop_drag_active = 1;
  desktop_drag_anchor_idx = desktop_icon_index(icon);
  desktop_drag_off_x = cx - icon.x;
  desktop_drag_off_y = cy - icon.y;
  for (DesktopIcon& other : desktop_icons) {
    if (!other.selected && &other != &icon) continue;
    other.drag_origin_x = other.x;
    other.drag_origin_y = other.y;
  }
}

void press_icon(DesktopIcon& icon, i32 cx, i32 cy) {
  const u32 now = ticks_now();
  if (last_click_icon == &icon && now - last_click_tick < kDoubleClickTicks) {
    open_icon(icon);
    last_click_icon = nullptr;
    last_click_tick = 0;
  } else {
    last_click_icon = &icon;
    last_click_tick = now;
    select_on_press(icon);
  }
  start_icon_drag(icon, cx, cy);
}

}  // namespace

bool press_hit_priority(i32 cx, i32 cy) {
  DesktopIcon* icon = desktop_icon_at(cx, cy);
  const i32 dock = dock_hit_test(cx, cy);
  Window* win = window_at(cx, cy);
  if (dock >= 0) {
    press_dock(dock);
    return true;
  }
  if (win && !trash_hit_test(cx, cy)) return press_window(*win, cx, cy);
  // An icon lying over the trash takes the press and passes it on to the
  // trash as well.
  if (!win && icon) press_icon(*icon, cx, cy);
  if (trash_hit_test(cx, cy)) {
    press_trash();
    return true;
  }
  if (!icon) start_rubber_band(cx, cy);
  return false;
}

}  // namespace tavlin::dispatch
