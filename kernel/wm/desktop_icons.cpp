// The desktop icon table, its point hit test and inline renaming, and the
// desktop's shared pointer state. The rebuild from the Desktop folder lives
// in desktop_icons_sync.cpp.
#include "kernel/wm/desktop_icons.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/tree_ops.h"

namespace tavlin {

DesktopIcon desktop_icons[kDesktopIcons];
i32 desktop_renaming_idx = -1;
i32 show_desktop_icons = 1;
i32 desktop_rubber_active;
i32 desktop_rubber_start_x, desktop_rubber_start_y;
i32 desktop_rubber_cur_x, desktop_rubber_cur_y;
i32 desktop_rubber_additive;
i32 desktop_drag_active;
i32 desktop_drag_anchor_idx = -1;
i32 desktop_drag_off_x, desktop_drag_off_y;

namespace {

// The hit box covers the 64-pixel tile and the label under it.
constexpr i32 kHitWidth = 64;
constexpr i32 kHitAbove = 4;
constexpr i32 kHitBelow = 96;

}  // namespace

void desktop_icon_clear(DesktopIcon& icon) {
  memset(&icon, 0, sizeof icon);
  icon.fs_idx = -1;
}

void desktop_icons_reset() {
  for (DesktopIcon& icon : desktop_icons) desktop_icon_clear(icon);
  desktop_renaming_idx = -1;
  desktop_rubber_active = 0;
  desktop_drag_active = 0;
  desktop_drag_anchor_idx = -1;
  desktop_drag_off_x = desktop_drag_off_y = 0;
}

bool desktop_icon_hit(const DesktopIcon& icon, i32 x, i32 y) {
  return x >= icon.x && x < icon.x + kHitWidth && y >= icon.y - kHitAbove && y < icon.y + kHitBelow;
}

DesktopIcon* desktop_icon_at(i32 x, i32 y) {
  for (DesktopIcon& icon : desktop_icons)
    if (icon.in_use && desktop_icon_hit(icon, x, y)) return &icon;
  return nullptr;
}

i32 desktop_icon_index(const DesktopIcon& icon) { return static_cast<i32>(&icon - desktop_icons); }

void desktop_begin_rename(DesktopIcon* icon) {
  if (!icon || icon->fs_idx < 0) return;
  for (DesktopIcon& other : desktop_icons) other.renaming = 0;
  icon->rename_buf[0] = 0;
  if (fs_is_live(icon->fs_idx)) str_copy(icon->rename_buf, fs_nodes[icon->fs_idx].name, kDesktopRenameCap);
  icon->renaming = 1;
  desktop_renaming_idx = desktop_icon_index(*icon);
}

void desktop_commit_rename(DesktopIcon* icon) {
  if (!icon) return;
  // The node takes the name only by the checked rename: an empty, taken or
  // malformed name is refused and the old one stays on node and label.
  if (icon->fs_idx >= 0 && icon->rename_buf[0]) {
    if (fs_rename(icon->fs_idx, icon->rename_buf))
      str_copy(icon->label, fs_nodes[icon->fs_idx].name, kDesktopLabelCap);
    else
      serial_puts("[Desktop] Rename refused, name kept\n");
  }
  icon->renaming = 0;
  desktop_renaming_idx = -1;
}

}  // namespace tavlin
