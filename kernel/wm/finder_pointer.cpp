// The Finder's selection model, driven by the pointer: single selection,
// Shift ranges, Ctrl toggling, double click to open or enter, Back and the
// favourites, the in-window rubber band and the start of an item drag.
#include "kernel/wm/finder_pointer.h"

#include "kernel/apps/finder.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

using dispatch::ctrl_held;
using dispatch::shift_held;

constexpr i32 kDragThreshold = 4;
constexpr i32 kSidebarRight = 140;
constexpr i32 kFavouritesTop = 82, kFavouriteRow = 22, kFavouriteRows = 20;

bool selectable(i32 node) { return node >= 0 && node < kFinderSelectable; }
bool selected(const Window& w, i32 node) { return selectable(node) && w.finder_sel[node]; }

void select_alone(Window& w, i32 node) {
  finder_clear_selection(w);
  if (!selectable(node)) return;
  w.finder_sel[node] = 1;
  w.finder_last_sel = node;
}

void remember_click(Window& w, i32 node) {
  w.finder_click_idx = node;
  w.finder_click_tick = ticks_now();
}

void forget_click(Window& w) {
  w.finder_click_idx = -1;
  w.finder_click_tick = 0;
}

i32 item_at(const Window& w, i32 px, i32 py) {
  i32 x, y, cw, ch;
  finder_content_rect(w, &x, &y, &cw, &ch);
  return finder_grid_hit_test(&w, x, y, cw, ch, px, py);
}

bool is_double_click(const Window& w, i32 node) {
  return node >= 0 && node == w.finder_click_idx && ticks_now() - w.finder_click_tick < kDoubleClickTicks;
}

// A folder is entered, a file opens in its application; the root is never
// shown as an item, and a node removed meanwhile does nothing.
void open_item(Window& w, i32 node) {
  forget_click(w);
  if (fs_is_live_dir(node) && node != fs_root)
    finder_enter_folder(w, node);
  else if (fs_is_live_file(node))
    open_file_in_app(node);
}

void start_item_drag(Window& w, i32 cx, i32 cy) {
  w.item_drag_pending = 1;
  w.item_drag_moved = 0;
  w.item_drag_x0 = cx;
  w.item_drag_y0 = cy;
  w.item_drag_dx = cx - (w.x + 1);
  w.item_drag_dy = cy - (w.y + 30);
}

bool on_back_button(const Window& w, i32 cx, i32 cy) {
  return cx > w.x + 4 && cx <= w.x + 20 && cy > w.y + 31 && cy <= w.y + 53;
}

// The favourite whose row holds the point, -1 between rows or elsewhere.
i32 favourite_at(const Window& w, i32 cx, i32 cy) {
  if (cx < w.x + 1 || cx > w.x + kSidebarRight || cy < w.y + 54 || cy >= w.y + w.h - 1) return -1;
  for (i32 i = 0; i < kFinderFavoriteCount; ++i) {
    const i32 top = w.y + kFavouritesTop + kFavouriteRow * i;
    if (cy >= top && cy < top + kFavouriteRows) return i;
  }
  return -1;
}

void start_band(Window& w, i32 cx, i32 cy) {
  w.finder_rubber_active = 1;
  w.finder_rubber_x0 = w.finder_rubber_x1 = cx - (w.x + 1);
  w.finder_rubber_y0 = w.finder_rubber_y1 = cy - (w.y + 30);
  w.finder_rubber_additive = ctrl_held() ? 1 : 0;
  forget_click(w);
  if (!w.finder_rubber_additive) finder_clear_selection(w);
  w.finder_anchor = -1;
}

// Position of a node in its folder's list, -1 when it is not there.
i32 position_in_folder(i32 dir, i32 node) {
  i32 at = finder_first_entry(dir);
  for (i32 i = 0; at >= 0 && i < kFsMaxNodes; ++i, at = finder_next_entry(at))
    if (at == node) return i;
  return -1;
}

void select_range(Window& w, i32 dir, i32 from, i32 to) {
  finder_clear_selection(w);
  i32 at = finder_first_entry(dir);
  for (i32 i = 0; at >= 0 && i <= to && i < kFsMaxNodes; ++i, at = finder_next_entry(at))
    if (i >= from && selectable(at)) w.finder_sel[at] = 1;
}

void shift_select(Window& w, i32 node) {
  const i32 end = w.finder_anchor >= 0 ? w.finder_anchor : w.finder_last_sel;
  const bool same_folder = fs_is_live(end) && fs_is_live(node) && fs_nodes[end].parent == fs_nodes[node].parent;
  const i32 dir = same_folder ? fs_nodes[node].parent : -1;
  const i32 a = same_folder ? position_in_folder(dir, end) : -1;
  const i32 b = same_folder ? position_in_folder(dir, node) : -1;
  if (a >= 0 && b >= 0) {
    select_range(w, dir, a < b ? a : b, a < b ? b : a);
    w.finder_last_sel = node;
  } else {
    select_alone(w, node);
  }
  if (w.finder_anchor < 0) w.finder_anchor = end >= 0 ? end : node;
}

i32 lowest_selected(const Window& w) {
  for (i32 i = 0; i < kFinderSelectable; ++i)
    if (w.finder_sel[i]) return i;
  return -1;
}

void ctrl_toggle(Window& w, i32 node) {
  if (selectable(node)) {
    w.finder_sel[node] = w.finder_sel[node] ? 0 : 1;
    if (w.finder_sel[node])
      w.finder_last_sel = node;
    else if (w.finder_last_sel == node)
      w.finder_last_sel = lowest_selected(w);
  }
  w.finder_anchor = node;
}

void press_item(Window& w, i32 node) {
  if (shift_held())
    shift_select(w, node);
  else if (ctrl_held())
    ctrl_toggle(w, node);
  else {
    select_alone(w, node);
    w.finder_anchor = node;
  }
  remember_click(w, node);
}

// The band's items, laid out as the Finder draws them.
void band_select(Window& w) {
  i32 x, y, cw, ch;
  finder_content_rect(w, &x, &y, &cw, &ch);
  const i32 x0 = x + w.finder_rubber_x0, x1 = x + w.finder_rubber_x1;
  const i32 y0 = y + w.finder_rubber_y0, y1 = y + w.finder_rubber_y1;
  const i32 left = x0 < x1 ? x0 : x1, right = x0 < x1 ? x1 : x0;
  const i32 top = y0 < y1 ? y0 : y1, bottom = y0 < y1 ? y1 : y0;
  const FinderGrid grid = finder_grid(x, y, cw, ch);
  i32 node = finder_first_entry(w.finder_dir);
  for (i32 i = 0; node >= 0 && i < kFsMaxNodes; ++i, node = finder_next_entry(node)) {
    i32 ix, iy;
    if (!finder_cell(grid, i, &ix, &iy)) return;
    const bool touched = left < ix + 48 && ix - 4 < right && top < iy + 78 && iy - 4 < bottom;
    if (touched && selectable(node)) {
      w.finder_sel[node] = 1;
      w.finder_last_sel = node;
    }
  }
}

}  // namespace

void finder_press(Window& w, i32 cx, i32 cy) {
  const i32 node = item_at(w, cx, cy);
  // A press anywhere but on the entry being renamed ends the rename, so the
  // typed name never lands on another entry.
  if (w.finder_renaming && node != w.finder_last_sel) finder_commit_rename(w);
  if (is_double_click(w, node)) return open_item(w, node);
  if (selected(w, node) && !shift_held() && !ctrl_held()) {
    start_item_drag(w, cx, cy);
    return remember_click(w, node);
  }
  if (on_back_button(w, cx, cy)) {
    const i32 parent = fs_is_live(w.finder_dir) ? fs_nodes[w.finder_dir].parent : -1;
    if (fs_is_live_dir(parent)) finder_enter_folder(w, parent);
    return;
  }
  const i32 favourite = favourite_at(w, cx, cy);
  if (favourite >= 0) return finder_enter_folder(w, finder_favorite_target(favourite));
  if (node < 0) return start_band(w, cx, cy);
  press_item(w, node);
}

void finder_held(Window& w) {
  if (w.finder_rubber_active) {
    w.finder_rubber_x1 = mouse_x - (w.x + 1);
    w.finder_rubber_y1 = mouse_y - (w.y + 30);
    if (!w.finder_rubber_additive) finder_clear_selection(w);
    band_select(w);
  }
  if (w.item_drag_pending && !w.item_drag_moved) {
    const i32 dx = mouse_x - w.item_drag_x0, dy = mouse_y - w.item_drag_y0;
    if (dx > kDragThreshold || dx < -kDragThreshold || dy > kDragThreshold || dy < -kDragThreshold)
      w.item_drag_moved = 1;
  }
}

}  // namespace tavlin
