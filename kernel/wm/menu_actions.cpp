// dispatch_menu_action: what each menu entry does, from the drop-downs and
// the context menu alike, and menu_action_available, which tells the menus
// which entries would do anything now.
#include "kernel/apps/finder.h"
#include "kernel/apps/trash_window.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/paths.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/trash.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/menu_parts.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

// A window on its way out or into the dock no longer counts as visible.
bool visible(const Window& w) {
  return w.in_use && !w.minimized && !win_is_closing(w) && w.anim_kind != anim::kMinimize;
}

bool any_window(bool (*test)(const Window&)) {
  for (const Window& w : windows)
    if (test(w)) return true;
  return false;
}

// Focuses the first visible window after the focused one, wrapping round,
// so the focused window comes last.
void cycle_windows() {
  for (i32 step = 1; step <= kMaxWindows; ++step) {
    Window& w = windows[((focused_window + step) % kMaxWindows + kMaxWindows) % kMaxWindows];
    if (!visible(w)) continue;
    win_focus_and_raise(w);
    return;
  }
}

void minimize_all() {
  for (Window& w : windows)
    if (visible(w)) win_minimize(w);
}

// A node the menus may rename or delete: live, not the reserved entry and
// not a protected folder, as fs_rename and trash_node require.
bool user_may_change(i32 node) { return fs_is_live(node) && node != 0 && !fs_is_protected(node); }

// Exactly the chosen node goes, by its index, with a record of it left in
// the trash.
void delete_menu_node() {
  const i32 node = ctx_menu.fs_idx;
  if (!user_may_change(node)) return;
  const i32 parent = fs_nodes[node].parent;
  if (trash_node(node) && parent == fs_desktop_dir) desktop_icons_sync();
}

Window* focused_finder() {
  Window* w = win_focused();
  return w && w->app == app::kFinder ? w : nullptr;
}

void finder_rename() {
  Window* w = focused_finder();
  const i32 node = ctx_menu.fs_idx;
  if (w && user_may_change(node)) finder_begin_rename(*w, node);
}

DesktopIcon* icon_for_menu_node() {
  if (ctx_menu.fs_idx < 0) return nullptr;
  for (DesktopIcon& icon : desktop_icons)
    if (icon.in_use && icon.fs_idx == ctx_menu.fs_idx) return &icon;
  return nullptr;
}

i32 new_item_parent() { return ctx_menu.fs_idx >= 0 ? ctx_menu.fs_idx : ensure_desktop_dir(); }

void create_item(const char* name, u32 kind) {
  const i32 parent = new_item_parent();
  if (!fs_is_live_dir(parent)) return;
  const i32 made = fs_create_unique(parent, name, kind);
  if (made < 0) return;
  if (kind == kFsFile) fs_set_content(made, "");
  if (parent == fs_desktop_dir) desktop_icons_sync();
}

void set_app_name() {
  Window* w = win_focused();
  if (!w) return;
  str_copy(w->title, "Unknown Application", kWindowTitleCap);
  str_copy(w->app_name, "Unknown Application", kAppNameCap);
}

void ask_to_empty_trash() {
  trash_confirm_active = 1;
  trash_confirm_x = ctx_menu.x;
  trash_confirm_y = ctx_menu.y;
}

// Actions on the focused window; nothing when no window has the focus.
void on_focused(void (*act)(Window&)) {
  if (Window* w = win_focused()) act(*w);
}

}  // namespace

bool menu_action_available(i32 code) {
  switch (code) {
    case action::kNewFinderWindow:
    case action::kNewTerminal:
    case action::kToggleDesktopIcons:
    case action::kAbout:
    case action::kOpenTrash:
    case action::kEmptyTrash: return true;
    case action::kCloseWindow:
    case action::kZoom:
    case action::kSetAppName: return win_focused() != nullptr;
    case action::kMinimize: return win_focused() && visible(*win_focused());
    case action::kCycleWindows: return any_window(visible);
    case action::kMinimizeAll: return any_window(visible);
    case action::kDelete: return user_may_change(ctx_menu.fs_idx);
    case action::kFinderRename: return focused_finder() && user_may_change(ctx_menu.fs_idx);
    case action::kDesktopRename: return icon_for_menu_node() != nullptr;
    case action::kNewFolder:
    case action::kNewFile: return fs_is_live_dir(new_item_parent());
    case action::kPinToDock: return dock_pin_possible();
    case action::kUnpinFromDock: return dock_unpin_possible();
    case action::kUndo:
    case action::kRedo:
    case action::kSelectAll: return edit_action_available(code);
    default: return false;
  }
}

void dispatch_menu_action(i32 code) {
  switch (code) {
    case action::kNewFinderWindow: open_app(static_cast<i32>(app::kFinder)); break;
    case action::kNewTerminal: open_app(static_cast<i32>(app::kTerminal)); break;
    case action::kCloseWindow: close_window(win_focused()); break;
    case action::kMinimize: on_focused(win_minimize); break;
    case action::kZoom: on_focused(win_toggle_maximize); break;
    case action::kCycleWindows: cycle_windows(); break;
    case action::kMinimizeAll: minimize_all(); break;
    case action::kToggleDesktopIcons: show_desktop_icons = show_desktop_icons ? 0 : 1; break;
    case action::kAbout: open_app(static_cast<i32>(app::kAbout)); break;
    case action::kDelete: delete_menu_node(); break;
    case action::kFinderRename: finder_rename(); break;
    case action::kDesktopRename: desktop_begin_rename(icon_for_menu_node()); break;
    case action::kNewFolder: create_item("New Folder", kFsDir); break;
    case action::kNewFile: create_item("New File.txt", kFsFile); break;
    case action::kOpenTrash: open_trash_window(); break;
    case action::kEmptyTrash: ask_to_empty_trash(); break;
    case action::kPinToDock: dock_pin_menu_target(); break;
    case action::kUnpinFromDock: dock_unpin_menu_target(); break;
    case action::kSetAppName: set_app_name(); break;
    case action::kUndo:
    case action::kRedo:
    case action::kSelectAll: run_edit_action(code); break;
    default: break;  // 0 and unknown codes do nothing
  }
}

}  // namespace tavlin
