// The window table and the operations on its records: allocation, the
// point hit test, focus, minimise, restore, maximise and close.
#include "kernel/wm/window.h"

#include "kernel/apps/store.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/dock.h"

namespace tavlin {

Window windows[kMaxWindows];
i32 focused_window = -1;
i32 next_z = 1;

namespace {

constexpr i32 kIconBox = 8;          // minimise shrinks into an 8 x 8 box at the icon
constexpr i32 kCloseBoxDx = 13;      // close shrinks into the close button
constexpr i32 kCloseBoxDy = 12;
constexpr i32 kCloseBox = 6;

bool visible(const Window& w) { return w.in_use && !w.minimized; }

// The file a window shows, for the dock's bookkeeping: its document if that
// node is live, else its image if that is, else none.
i32 shown_file(const Window& w) {
  if (fs_is_live(w.doc_node)) return w.doc_node;
  if (fs_is_live(w.image_node)) return w.image_node;
  return -1;
}

void release_store_state(Window& w) {
  for (u32 i = 0; i < kStoreStates; ++i)
    if (w.store == &vuzedezoz_idir[i]) vuzedezoz_idir_used[i] = 0;
  w.store = nullptr;
}

// Another open window of the kind showing no file, which still needs the
// application's tile (a viewer whose file was deleted shows none either).
bool another_fileless(const Window& w) {
  for (const Window& o : windows) {
    if (&o == &w || !o.in_use || o.app != w.app || win_is_closing(o)) continue;
    if (shown_file(o) < 0) return true;
  }
  return false;
}

// A pinned app or file keeps its tile after its window closes; a running
// one that is not pinned loses it.
void forget_dock_tile(const Window& w) {
  const i32 file = shown_file(w);
  if (file < 0 && another_fileless(w)) return;
  for (i32 i = 0; i < kDockPinnedSlots; ++i) {
    const DockItem& d = dock_items[i];
    const bool same_file = file < 0 ? d.fs_idx < 0 : d.fs_idx == file;
    if (d.pinned && d.app == static_cast<i32>(w.app) && same_file) return;
  }
  dock_remove_dynamic_item(static_cast<i32>(w.app), file);
}

}  // namespace

void windows_init() {
  for (Window& w : windows) memset(&w, 0, sizeof w);
  focused_window = -1;
  next_z = 1;
}

i32 win_index(const Window& win) { return static_cast<i32>(&win - windows); }

Window* win_focused() {
  if (focused_window < 0 || focused_window >= kMaxWindows) return nullptr;
  Window& w = windows[focused_window];
  return w.in_use ? &w : nullptr;
}

Window* win_alloc() {
  for (Window& w : windows) {
    if (w.in_use) continue;
    memset(&w, 0, sizeof w);
    w.doc_node = w.image_node = w.finder_dir = -1;
    w.finder_last_sel = w.finder_click_idx = w.finder_anchor = -1;
    return &w;
  }
  return nullptr;
}

Window* window_at(i32 px, i32 py) {
  Window* best = nullptr;
  for (Window& w : windows) {
    if (!visible(w)) continue;
    if (px < w.x || py < w.y || static_cast<i64>(px) >= static_cast<i64>(w.x) + w.w ||
        static_cast<i64>(py) >= static_cast<i64>(w.y) + w.h)
      continue;
    if (!best || w.z > best->z) best = &w;
  }
  return best;
}

void win_focus_and_raise(Window& win) {
  win.launched = 1;
  win.z = next_z;
  next_z = next_z + 1;
  focused_window = win_index(win);
}

void win_restore_and_focus(Window& win) {
  if (win.minimized) {
    i32 cx, cy;
    dock_icon_center_for_app(static_cast<i32>(win.app), &cx, &cy);
    win.minimized = 0;
    win_start_anim(win, anim::kRestore, cx - kIconBox / 2, cy - kIconBox / 2, kIconBox, kIconBox, win.x,
                   win.y, win.w, win.h);
  }
  win_focus_and_raise(win);
}

// A closing window keeps its close animation: anything else would leave the
// slot held once the animation ends.
void win_minimize(Window& win) {
  if (win.minimized || win.anim_kind == anim::kMinimize || win_is_closing(win)) return;
  i32 cx, cy;
  dock_icon_center_for_app(static_cast<i32>(win.app), &cx, &cy);
  win_start_anim(win, anim::kMinimize, win.x, win.y, win.w, win.h, cx - kIconBox / 2, cy - kIconBox / 2,
                 kIconBox, kIconBox);
  win.minimize_pending = 1;
  win.dragging = 0;
  if (focused_window == win_index(win)) focused_window = -1;
}

void win_toggle_maximize(Window& win) {
  if (win_is_closing(win)) return;  // as in win_minimize
  const i32 fx = win.x, fy = win.y, fw = win.w, fh = win.h;
  if (win.maximized) {
    win.maximized = 0;
    win.x = win.saved_x;
    win.y = win.saved_y;
    win.w = win.saved_w;
    win.h = win.saved_h;
    win_start_anim(win, anim::kUnmaximize, fx, fy, fw, fh, win.x, win.y, win.w, win.h);
    return;
  }
  win.saved_x = fx;
  win.saved_y = fy;
  win.saved_w = fw;
  win.saved_h = fh;
  win.x = 0;
  win.y = kTopBarHeight;
  win.w = static_cast<i32>(fb_width);
  win.h = static_cast<i32>(fb_height) - kDockReserve;
  win.maximized = 1;
  win_start_anim(win, anim::kMaximize, fx, fy, fw, fh, win.x, win.y, win.w, win.h);
}

void close_window(Window* win) {
  if (!win || !win->in_use || win->anim_kind == anim::kClose) return;
  if (win->store) release_store_state(*win);
  forget_dock_tile(*win);
  win_start_anim(*win, anim::kClose, win->x, win->y, win->w, win->h, win->x + kCloseBoxDx,
                 win->y + kCloseBoxDy, kCloseBox, kCloseBox);
  win->close_pending = 1;
  if (focused_window == win_index(*win)) focused_window = -1;
}

}  // namespace tavlin
