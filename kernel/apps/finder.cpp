// The Finder's grid: cell geometry shared by drawing, hit tests and the
// rubber band, the walk over a folder's entries, selection and folder
// changes, and the in-place rename's start and commit.
#include "kernel/apps/finder.h"

#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kGridLeft = 152;  // the sidebar and a margin
constexpr i32 kGridTop = 36;    // the toolbar and a margin
constexpr i32 kCellW = 90, kCellH = 78;
constexpr i32 kOneColumnUpTo = 253;
constexpr i32 kColumnMargin = 164;
constexpr i32 kTitleRows = 30;

}  // namespace

FinderGrid finder_grid(i32 x, i32 y, i32 w, i32 h) {
  FinderGrid g;
  g.left = x + kGridLeft;
  g.top = y + kGridTop;
  g.columns = w > kOneColumnUpTo ? (w - kColumnMargin) / kCellW : 1;
  g.bottom = y + h;
  return g;
}

bool finder_cell(const FinderGrid& g, i32 i, i32* cx, i32* cy) {
  *cx = g.left + (i % g.columns) * kCellW;
  *cy = g.top + (i / g.columns) * kCellH;
  return *cy + kCellH - 1 < g.bottom;
}

void finder_content_rect(const Window& win, i32* x, i32* y, i32* w, i32* h) {
  *x = win.x + 1;
  *y = win.y + kTitleRows;
  *w = win.w - 2;
  *h = win.h - kTitleRows - 1;
}

i32 finder_first_entry(i32 dir) {
  if (!fs_is_live_dir(dir)) return -1;
  const i32 first = fs_nodes[dir].first_child;
  return fs_is_live(first) ? first : -1;
}

i32 finder_next_entry(i32 node) {
  if (!fs_is_live(node)) return -1;
  const i32 next = fs_nodes[node].next_sibling;
  return fs_is_live(next) ? next : -1;
}

i32 finder_grid_hit_test(const Window* win, i32 x, i32 y, i32 w, i32 h, i32 px, i32 py) {
  if (!win) return -1;
  const FinderGrid g = finder_grid(x, y, w, h);
  if (px < g.left || py < g.top) return -1;
  const i32 column = (px - g.left) / kCellW;
  if (column >= g.columns) return -1;
  const i32 index = (py - g.top) / kCellH * g.columns + column;
  i32 node = finder_first_entry(win->finder_dir);
  for (i32 i = 0; node >= 0 && i < index && i < kFsMaxNodes; ++i) node = finder_next_entry(node);
  if (node < 0 || index >= kFsMaxNodes) return -1;
  i32 cx, cy;
  return finder_cell(g, index, &cx, &cy) ? node : -1;
}

void finder_clear_selection(Window& win) {
  for (u8& flag : win.finder_sel) flag = 0;
  win.finder_last_sel = -1;
}

void finder_enter_folder(Window& win, i32 dir) {
  finder_commit_rename(win);
  win.finder_dir = dir;
  finder_clear_selection(win);
  win.finder_anchor = -1;
  win.finder_click_idx = -1;
  win.finder_click_tick = 0;
}

void finder_begin_rename(Window& win, i32 node) {
  if (!fs_is_live(node)) return;
  win.finder_last_sel = node;
  win.finder_renaming = 1;
  str_copy(win.finder_rename_text, fs_nodes[node].name, sizeof win.finder_rename_text);
}

void finder_commit_rename(Window& win) {
  if (win.finder_renaming && fs_is_live(win.finder_last_sel))
    fs_rename(win.finder_last_sel, win.finder_rename_text);
  win.finder_renaming = 0;
}

}  // namespace tavlin
