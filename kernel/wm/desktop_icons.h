// Desktop icons: the icon table that mirrors the Desktop folder, and the
// desktop's selection, rubber-band and drag state shared by the dispatcher
// and frame composition.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kDesktopIcons = 16;
constexpr i32 kDesktopLabelCap = 24;
constexpr i32 kDesktopRenameCap = 28;

struct DesktopIcon {
  i32 in_use;
  char label[kDesktopLabelCap];
  u32 color;
  i32 x, y;  // top-left of the 64 x 64 tile
  i32 fs_idx;
  i32 renaming;
  char rename_buf[kDesktopRenameCap];
  i32 selected;
  i32 drag_origin_x, drag_origin_y;
};
static_assert(sizeof(DesktopIcon) == 88);
static_assert(__builtin_offsetof(DesktopIcon, color) == 28);
static_assert(__builtin_offsetof(DesktopIcon, fs_idx) == 40);
static_assert(__builtin_offsetof(DesktopIcon, rename_buf) == 48);
static_assert(__builtin_offsetof(DesktopIcon, drag_origin_y) == 84);

extern DesktopIcon desktop_icons[kDesktopIcons];
extern i32 desktop_renaming_idx;
extern i32 show_desktop_icons;
extern i32 desktop_rubber_active;
extern i32 desktop_rubber_start_x, desktop_rubber_start_y;
extern i32 desktop_rubber_cur_x, desktop_rubber_cur_y;
extern i32 desktop_rubber_additive;
extern i32 desktop_drag_active;
extern i32 desktop_drag_anchor_idx;
extern i32 desktop_drag_off_x, desktop_drag_off_y;

// An unused record: zeroed, naming no node.
void desktop_icon_clear(DesktopIcon& icon);
// Clears the icon table and its selection state (start-up).
void desktop_icons_reset();
// Rebuilds the table from the Desktop folder.
void desktop_icons_sync();

// True when the point is in the icon's hit box: its tile and label.
bool desktop_icon_hit(const DesktopIcon& icon, i32 x, i32 y);
// The first live icon whose hit box holds the point, or null.
DesktopIcon* desktop_icon_at(i32 x, i32 y);
i32 desktop_icon_index(const DesktopIcon& icon);
// Starts editing the icon's name in place (null or no node: nothing).
void desktop_begin_rename(DesktopIcon* icon);
// Writes the edited name into the node and the label, and ends the edit.
void desktop_commit_rename(DesktopIcon* icon);

}  // namespace tavlin
