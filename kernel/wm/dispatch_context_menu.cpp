// Right presses: the context menu for whatever lies under the point (a dock
// tile, a Finder item or its empty space, another window, the trash, a
// desktop icon or the empty desktop), built into ctx_menu and opened there.
#include "kernel/apps/finder.h"
#include "kernel/core/framebuffer.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kDockMenuRise = 86;  // the dock's menu opens from this far above the screen's bottom

void open_menu_at(i32 x, i32 y, i32 fs_idx, i32 app) {
  ctx_menu.active = 1;
  ctx_menu.x = x;
  ctx_menu.y = y;
  ctx_menu.count = 0;
  ctx_menu.fs_idx = fs_idx;
  ctx_menu.app = app;
}

void add_item(const char* label, i32 code) {
  if (ctx_menu.count >= kCtxMenuItems) return;
  ctx_menu.labels[ctx_menu.count] = label;
  ctx_menu.actions[ctx_menu.count] = code;
  ctx_menu.count = ctx_menu.count + 1;
}

void add_pin_item(bool pinned) {
  if (pinned)
    add_item("Unpin from Dock", action::kUnpinFromDock);
  else
    add_item("Pin to Dock", action::kPinToDock);
}

bool pinned_with_file(i32 node) {
  for (i32 i = 0; i < kDockPinnedSlots; ++i)
    if (dock_items[i].pinned && dock_items[i].app != 0 && dock_items[i].fs_idx == node) return true;
  return false;
}

// The application's own record, not a pinned file it would open: that is
// the record Unpin removes.
bool pinned_with_app(i32 kind) {
  for (i32 i = 0; i < kDockPinnedSlots; ++i)
    if (dock_items[i].pinned && dock_items[i].app == kind && dock_items[i].fs_idx < 0) return true;
  return false;
}

i32 app_for_node(i32 node) { return fs_is_live_file(node) ? get_app_for_file(node) : 0; }

// Rename, Delete and, for a file, its pin item: the menu of a Finder item
// or a desktop icon.
void open_item_menu(i32 rx, i32 ry, i32 node, i32 rename_code) {
  open_menu_at(rx, ry, node, app_for_node(node));
  add_item("Rename", rename_code);
  add_item("Delete", action::kDelete);
  if (fs_is_live_file(node)) add_pin_item(pinned_with_file(node));
}

// The window the dock's menu acts on: the first visible one showing the
// record's file, or of its application when it stands for no file.
i32 window_for_dock_record(const DockItem& d) {
  for (i32 i = 0; i < kMaxWindows; ++i) {
    const Window& w = windows[i];
    if (!w.in_use || w.minimized || w.anim_kind == anim::kClose) continue;
    if (w.app != static_cast<u32>(d.app)) continue;
    if (d.fs_idx < 0 || w.doc_node == d.fs_idx || w.image_node == d.fs_idx) return i;
  }
  return -1;
}

void menu_for_dock(i32 record, i32 rx) {
  const DockItem& d = dock_items[record];
  // The window keys will go to is raised too, so it is never behind others.
  const i32 target = window_for_dock_record(d);
  focused_window = target;
  if (target >= 0) win_focus_and_raise(windows[target]);
  open_menu_at(rx, static_cast<i32>(fb_height) - kDockMenuRise, d.fs_idx, d.app);
  add_pin_item(d.pinned != 0);
}

void select_finder_item(Window& win, i32 node) {
  if (node < kFinderSelectable && win.finder_sel[node]) return;
  for (u8& flag : win.finder_sel) flag = 0;
  if (node < kFinderSelectable) win.finder_sel[node] = 1;
  win.finder_last_sel = node;
}

void menu_for_finder(Window& win, i32 rx, i32 ry) {
  const i32 node = finder_grid_hit_test(&win, win.x + 1, win.y + 30, win.w - 2, win.h - 31, rx, ry);
  if (node < 0) {
    open_menu_at(rx, ry, win.finder_dir, 0);
    add_item("New Folder", action::kNewFolder);
    add_item("New File", action::kNewFile);
    return;
  }
  if (fs_is_protected(node)) return;  // the standard folders offer nothing to rename or delete
  select_finder_item(win, node);
  open_item_menu(rx, ry, node, action::kFinderRename);
}

void menu_for_window(const Window& win, i32 rx, i32 ry) {
  open_menu_at(rx, ry, -1, static_cast<i32>(win.app));
  add_item("Set App Name", action::kSetAppName);
  add_pin_item(pinned_with_app(static_cast<i32>(win.app)));
}

void menu_for_icon(DesktopIcon& icon, i32 rx, i32 ry) {
  if (!icon.selected) {
    for (DesktopIcon& other : desktop_icons) other.selected = 0;
    icon.selected = 1;
  }
  open_item_menu(rx, ry, icon.fs_idx, action::kDesktopRename);
}

void menu_for_desktop(i32 rx, i32 ry) {
  open_menu_at(rx, ry, -1, 0);
  add_item("New Folder", action::kNewFolder);
  add_item("New File", action::kNewFile);
  add_item("Show/Hide Icons", action::kToggleDesktopIcons);
  add_item("New Finder Window", action::kNewFinderWindow);
}

}  // namespace

bool press_right(i32 rx, i32 ry) {
  const i32 record = dock_hit_test(rx, ry);
  if (record >= 0) {
    menu_for_dock(record, rx);
    return true;
  }
  if (Window* win = window_at(rx, ry)) {
    // The window's menu acts on the focused window, so the press focuses
    // it first, as a left press would.
    win_focus_and_raise(*win);
    if (win->app == app::kFinder)
      menu_for_finder(*win, rx, ry);
    else
      menu_for_window(*win, rx, ry);
  } else if (trash_hit_test(rx, ry)) {
    open_menu_at(rx, ry, -1, 0);
    add_item("Open Trash", action::kOpenTrash);
    add_item("Empty Trash", action::kEmptyTrash);
  } else {
    DesktopIcon* icon = desktop_icon_at(rx, ry);
    if (icon && icon->fs_idx >= 0)
      menu_for_icon(*icon, rx, ry);
    else
      menu_for_desktop(rx, ry);
  }
  return false;
}

}  // namespace tavlin::dispatch

