// Where a Finder's dragged items land when the button is released: in the
// trash, in a folder of the same window, or on the desktop. Each item is
// taken by its node index, and an item the file tree refuses to move stays
// where it was while the others still go.
#include "kernel/apps/finder.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/trash.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/finder_pointer.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kDesktopTop = 29;       // below the top bar
constexpr i32 kDockZone = 77;         // rows at the bottom kept for the dock

// The selected entries of the folder shown, gathered before anything moves:
// moving or deleting rewrites the very list being walked.
struct Dragged {
  i32 nodes[kFsMaxNodes];
  i32 count;
};

Dragged gather(const Window& w) {
  Dragged d{};
  i32 node = finder_first_entry(w.finder_dir);
  for (i32 i = 0; node >= 0 && i < kFsMaxNodes; ++i, node = finder_next_entry(node))
    if (node < kFinderSelectable && w.finder_sel[node]) d.nodes[d.count++] = node;
  return d;
}

// The folder item of this window under the point, when the window is the
// one seen there and the folder is not itself being dragged.
i32 folder_target(const Window& w, i32 px, i32 py) {
  if (window_at(px, py) != &w) return -1;
  i32 x, y, cw, ch;
  finder_content_rect(w, &x, &y, &cw, &ch);
  const i32 node = finder_grid_hit_test(&w, x, y, cw, ch, px, py);
  if (!fs_is_live_dir(node) || (node < kFinderSelectable && w.finder_sel[node])) return -1;
  return node;
}

bool on_open_desktop(i32 px, i32 py) {
  return !window_at(px, py) && py >= kDesktopTop && py <= static_cast<i32>(fb_height) - kDockZone;
}

// True when the items left the folder shown.
bool drop(const Window& w, i32 px, i32 py) {
  const Dragged d = gather(w);
  if (trash_hit_test(px, py)) {
    for (i32 i = 0; i < d.count; ++i) trash_node(d.nodes[i]);
    desktop_icons_sync();
    return true;
  }
  const i32 folder = folder_target(w, px, py);
  if (folder >= 0) {
    for (i32 i = 0; i < d.count; ++i) fs_move(d.nodes[i], folder);
    return true;
  }
  if (on_open_desktop(px, py)) {
    const i32 desktop = ensure_desktop_dir();
    for (i32 i = 0; i < d.count; ++i) fs_move(d.nodes[i], desktop);
    desktop_icons_sync();
    return true;
  }
  return false;
}

}  // namespace

void finder_release(Window& w) {
  if (!w.item_drag_pending) return;
  if (w.item_drag_moved && drop(w, mouse_x, mouse_y)) finder_clear_selection(w);
  w.item_drag_pending = 0;
  w.item_drag_moved = 0;
}

}  // namespace tavlin
