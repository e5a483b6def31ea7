// The dock: its record table (pinned records first, then the dynamic records
// of running apps and files), the layout shared by drawing and hit tests,
// and the dock's hover and trash-confirmation state.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kDockSlots = 32;
constexpr i32 kDockPinnedSlots = 16;
constexpr i32 kDockDynamicSlots = 16;
constexpr i32 kDockLabelCap = 24;

struct DockItem {
  i32 app;  // application kind; 0 marks an empty record
  u32 color;
  char label[kDockLabelCap];
  i32 pinned;
  i32 fs_idx;  // file the record stands for, -1 for an application
  i32 is_file;
};
static_assert(sizeof(DockItem) == 44);
static_assert(__builtin_offsetof(DockItem, label) == 8);
static_assert(__builtin_offsetof(DockItem, pinned) == 32);
static_assert(__builtin_offsetof(DockItem, is_file) == 40);

extern DockItem dock_items[kDockSlots];
extern i32 dock_dynamic_count;

// Kept up to date by the mouse dispatcher; read when drawing.
extern i32 dock_hover;
extern i32 dock_hover_prev;
extern u32 dock_hover_start_tick;
extern i32 dock_trash_hover;

// The "Empty Bin?" confirmation: open flag and the point it was asked at.
extern i32 trash_confirm_active;
extern i32 trash_confirm_x;
extern i32 trash_confirm_y;
// Top-left corner of the 180 x 90 confirmation, kept on the screen; shared
// by its drawing and the dispatcher's hit test.
void trash_confirm_origin(i32* x, i32* y);

// Layout of the current table and screen.
struct DockLayout {
  i32 slots;   // visible records laid out, at most 32
  i32 pinned;  // visible records of the pinned area
  i32 width;
  i32 left;
};
DockLayout dock_layout();
i32 dock_slot_x(const DockLayout& l, i32 slot);  // left edge of the slot's tile
// Record shown in a slot, or -1.
i32 dock_record_for_slot(i32 slot);

// Empties the dynamic records (start-up).
void dock_reset_dynamic();
// Restores the built-in pinned records and empties the rest (tests).
void dock_reset_all();
u32 dock_colour_for_app(i32 kind);

i32 dock_hit_test(i32 x, i32 y);
u32 trash_hit_test(i32 x, i32 y);
void dock_trash_rect(i32* x, i32* y, i32* w, i32* h);
void dock_icon_center_for_app(i32 kind, i32* x, i32* y);
void dock_add_dynamic_item(i32 kind, i32 node, const char* label);
void dock_remove_dynamic_item(i32 kind, i32 node);
// Drops a pinned record; the pinned records after it move up one.
void dock_remove_pinned(i32 record);
// Drops every record, pinned or dynamic, that stands for the node.
void dock_forget_node(i32 node);

// Draws the dock, its trash can and the trash confirmation.
void draw_dock();
// Draws the hover tooltip of the dock record under the pointer, if due.
void draw_dock_tooltip();

}  // namespace tavlin
