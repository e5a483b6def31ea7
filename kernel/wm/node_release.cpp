// The shell's answer to a node leaving the table: TextEdit windows become
// untitled, viewers and players lose their file, a Finder or Terminal in a
// removed folder moves up to the nearest folder that survives, and dock
// records, desktop icons, the context menu and the upload picker forget it.
#include "kernel/wm/node_release.h"

#include "kernel/apps/store.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

// Children leave before their folder, so the parent named here is still live
// unless it is the folder being removed itself.
i32 surviving_folder(i32 removed) {
  const i32 parent = fs_nodes[removed].parent;
  if (parent != removed && fs_is_live_dir(parent)) return parent;
  if (fs_desktop_dir != removed && fs_is_live_dir(fs_desktop_dir)) return fs_desktop_dir;
  return fs_root;
}

void release_document(Window& w) {
  w.doc_node = -1;
  if (w.app == app::kTextEdit) {
    // The text now lives only in the window: Ctrl+S has nowhere to write it.
    str_copy(w.title, "Untitled", kWindowTitleCap);
    w.te_modified = 1;
  } else if (w.app == app::kMediaPlayer) {
    w.video_playing = 0;
    w.video_frame = w.video_frame_count = 0;
  }
}

void release_in_finder(Window& w, i32 node) {
  if (node < static_cast<i32>(sizeof w.finder_sel)) w.finder_sel[node] = 0;
  if (w.finder_last_sel == node) {
    w.finder_last_sel = -1;
    w.finder_renaming = 0;
  }
  if (w.finder_anchor == node) w.finder_anchor = -1;
  if (w.finder_click_idx == node) w.finder_click_idx = -1;
  if (w.finder_dir == node) {
    w.finder_dir = surviving_folder(node);
    memset(w.finder_sel, 0, sizeof w.finder_sel);
    w.finder_last_sel = w.finder_anchor = w.finder_click_idx = -1;
    w.finder_renaming = 0;
    w.item_drag_pending = 0;
  }
}

void release_in_window(Window& w, i32 node) {
  if (w.doc_node == node) release_document(w);
  if (w.image_node == node) w.image_node = -1;
  if (w.app == app::kTerminal && w.term_cwd == node) w.term_cwd = surviving_folder(node);
  if (w.app == app::kFinder) release_in_finder(w, node);
}

void release_desktop_icons(i32 node) {
  for (DesktopIcon& icon : desktop_icons) {
    if (!icon.in_use || icon.fs_idx != node) continue;
    const i32 index = desktop_icon_index(icon);
    if (desktop_renaming_idx == index) desktop_renaming_idx = -1;
    if (desktop_drag_anchor_idx == index) {
      desktop_drag_anchor_idx = -1;
      desktop_drag_active = 0;
    }
    icon.in_use = 0;
    icon.selected = 0;
    icon.renaming = 0;
    icon.fs_idx = -1;
  }
}

}  // namespace

void wm_watch_node_removals() { fs_set_removal_listener(wm_release_node); }

void wm_release_node(i32 node) {
  if (node < 0) return;
  for (Window& w : windows)
    if (w.in_use) release_in_window(w, node);
  dock_forget_node(node);
  release_desktop_icons(node);
  if (ctx_menu.fs_idx == node) {
    ctx_menu.fs_idx = -1;
    ctx_menu.active = 0;
  }
  if (upload_dialog.picker_sel == node) upload_dialog.picker_sel = -1;
}

}  // namespace tavlin
