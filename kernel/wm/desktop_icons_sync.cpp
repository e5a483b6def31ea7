// desktop_icons_sync: rebuilds the icon table from the Desktop folder.
// Icons whose node is still there keep their record (place, selection, an
// edit in progress); new children take the first free grid cell, column by
// column. References into the table follow their icon to its new index.
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch.h"

namespace tavlin {
namespace {

constexpr u32 kFolderColour = 0xFFD27A;
constexpr u32 kFileColour = 0x9FC7FF;
constexpr i32 kMaxColumns = 12, kMaxRows = 20;
constexpr i32 kColumnPitch = 110, kRowPitch = 120;
constexpr i32 kGridLeft = 40, kGridTop = 50;

struct Grid {
  i32 columns, rows;
};

Grid screen_grid() {
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  Grid g{1, 1};
  if (W - 60 > 109) g.columns = (W - 60) / kColumnPitch < kMaxColumns ? (W - 60) / kColumnPitch : kMaxColumns;
  if (H - 90 > 119) g.rows = (H - 90) / kRowPitch < kMaxRows ? (H - 90) / kRowPitch : kMaxRows;
  return g;
}

// The cell number an icon at (x, y) occupies, or -1 outside the grid.
i32 cell_of(const Grid& g, i32 x, i32 y) {
  if (x <= -125 || y <= -130) return -1;
  const i32 column = (x + 15) / kColumnPitch, row = (y + 10) / kRowPitch;
  if (column >= g.columns || row >= g.rows) return -1;
  return row * g.columns + column;
}

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when a sorts strictly before b, letters compared without case; a
// proper prefix sorts first.
bool sorts_before(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (folded(*a) != folded(*b)) return static_cast<u8>(folded(*a)) < static_cast<u8>(folded(*b));
  return !*a && *b;
}

// The Desktop's live, named children in name order; returns the count.
i32 sorted_children(i32 dir, i32* out) {
  i32 n = 0, steps = 0;
  for (i32 c = fs_nodes[dir].first_child; fs_is_live(c) && steps < kFsMaxNodes; c = fs_nodes[c].next_sibling) {
    ++steps;  // a damaged list that loops still ends
    if (fs_nodes[c].name[0]) out[n++] = c;
  }
  for (i32 i = 0; i + 1 < n; ++i)
    for (i32 j = i + 1; j < n; ++j)
      if (sorts_before(fs_nodes[out[j]].name, fs_nodes[out[i]].name)) {
        const i32 t = out[i];
        out[i] = out[j];
        out[j] = t;
      }
  return n;
}

void refresh_from_node(DesktopIcon& icon, i32 node) {
  icon.in_use = 1;
  icon.fs_idx = node;
  icon.color = fs_nodes[node].kind == kFsDir ? kFolderColour : kFileColour;
  str_copy(icon.label, fs_nodes[node].name, kDesktopLabelCap);
}

// Where each old record went: -1 when its node is gone or found no place.
struct Rebuild {
  DesktopIcon old[kDesktopIcons];
  i32 moved_to[kDesktopIcons];
  i32 placed;
  bool has_icon[kFsMaxNodes];
};
Rebuild rebuild;

i32 old_icon_of(i32 node) {
  for (i32 k = 0; k < kDesktopIcons; ++k)
    if (rebuild.old[k].in_use && rebuild.old[k].fs_idx == node && rebuild.moved_to[k] < 0) return k;
  return -1;
}

void keep_existing(const i32* kids, i32 n) {
  for (i32 i = 0; i < n && rebuild.placed < kDesktopIcons; ++i) {
    const i32 k = old_icon_of(kids[i]);
    if (k < 0) continue;
    DesktopIcon& icon = desktop_icons[rebuild.placed];
    icon = rebuild.old[k];
    icon.renaming = 0;  // given back below to the one record being edited
    refresh_from_node(icon, kids[i]);
    rebuild.moved_to[k] = rebuild.placed++;
    rebuild.has_icon[kids[i]] = true;
  }
}

void place_new(const Grid& g, const i32* kids, i32 n) {
  bool taken[kMaxColumns * kMaxRows] = {};
  for (i32 i = 0; i < rebuild.placed; ++i) {
    const i32 cell = cell_of(g, desktop_icons[i].x, desktop_icons[i].y);
    if (cell >= 0) taken[cell] = true;
  }
  i32 cell_hint = 0;  // cells before it are all taken
  for (i32 i = 0; i < n && rebuild.placed < kDesktopIcons; ++i) {
    if (rebuild.has_icon[kids[i]]) continue;
    i32 column = -1, row = -1;
    for (i32 s = cell_hint; s < g.columns * g.rows; ++s) {
      const i32 c = s / g.rows, r = s % g.rows;  // column-major order
      if (taken[r * g.columns + c]) continue;
      column = c;
      row = r;
      cell_hint = s + 1;
      break;
    }
    if (column < 0) return;
    taken[row * g.columns + column] = true;
    DesktopIcon& icon = desktop_icons[rebuild.placed++];
    refresh_from_node(icon, kids[i]);
    icon.x = kGridLeft + kColumnPitch * column;
    icon.y = kGridTop + kRowPitch * row;
  }
}

i32 follow(i32 old_index) {
  return old_index >= 0 && old_index < kDesktopIcons ? rebuild.moved_to[old_index] : -1;
}

// The edit in progress, the drag's anchor and the double-click memory move
// with their icon, or end when it is gone.
void carry_references() {
  const i32 old_rename = desktop_renaming_idx;
  desktop_renaming_idx = -1;
  if (follow(old_rename) >= 0 && rebuild.old[old_rename].renaming) {
    desktop_renaming_idx = follow(old_rename);
    desktop_icons[desktop_renaming_idx].renaming = 1;
  }
  if (desktop_drag_anchor_idx >= 0) desktop_drag_anchor_idx = follow(desktop_drag_anchor_idx);
  if (desktop_drag_anchor_idx < 0) desktop_drag_active = 0;
  if (last_click_icon) {
    const i32 to = follow(static_cast<i32>(last_click_icon - desktop_icons));
    last_click_icon = to >= 0 ? &desktop_icons[to] : nullptr;
  }
}

}  // namespace

void desktop_icons_sync() {
  const i32 before = fs_desktop_dir;
  const i32 d = ensure_desktop_dir();
  // On failure the root comes back: it must never be mirrored as the Desktop.
  if (d == fs_root || !fs_is_live_dir(d)) return;
  if (d != before) {
    fs_desktop_dir = d;
    serial_puts("[FS] desktop_icons_sync: corrected fs_desktop_dir\n");
  }
  static i32 kids[kFsMaxNodes];
  const i32 n = sorted_children(d, kids);

  memcpy(rebuild.old, desktop_icons, sizeof desktop_icons);
  for (i32 k = 0; k < kDesktopIcons; ++k) {
    rebuild.moved_to[k] = -1;
    desktop_icon_clear(desktop_icons[k]);
  }
  memset(rebuild.has_icon, 0, sizeof rebuild.has_icon);
  rebuild.placed = 0;

  keep_existing(kids, n);
  place_new(screen_grid(), kids, n);
  carry_references();
}

}  // namespace tavlin
