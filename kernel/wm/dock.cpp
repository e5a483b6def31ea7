// The dock's record table, its layout arithmetic and hit tests, and the
// list of dynamic records that running apps and files add and remove.
#include "kernel/wm/dock.h"

#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"

namespace tavlin {
namespace {

constexpr u32 kEmptyColour = 0x888888;
constexpr DockItem kEmptyRecord = {0, kEmptyColour, "", 0, -1, 0};

}  // namespace

DockItem dock_items[kDockSlots] = {
    {4, 0x3A9DFF, "Finder", 1, -1, 0},
    {1, 0x8E8E93, "About", 1, -1, 0},
    {2, 0xF5F5F5, "Clock", 1, -1, 0},
    {3, 0x1C1C1E, "Term", 1, -1, 0},
    {5, 0xF5C842, "TextEdit", 1, -1, 0},
    {8, 0x4A90E2, "Search", 1, -1, 0},
    {10, 0x4A90E2, "Moss Store", 1, -1, 0},
    kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord,
    kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord,
    kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord,
    kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord,
    kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord, kEmptyRecord,
};
i32 dock_dynamic_count;
i32 dock_hover = -1;
i32 dock_hover_prev = -1;
u32 dock_hover_start_tick;
i32 dock_trash_hover;
i32 trash_confirm_active;
i32 trash_confirm_x;
i32 trash_confirm_y;

namespace {

constexpr i32 kSlotPitch = 70;
constexpr i32 kDockExtra = 101;  // margins and the trash beside the tiles
constexpr i32 kTileInset = 12;
constexpr i32 kTrashSize = 56;
constexpr i32 kIconCentreDx = 40;
constexpr i32 kIconCentreDy = 38;
const DockItem kBuiltInPinned[] = {
    {4, 0x3A9DFF, "Finder", 1, -1, 0}, {1, 0x8E8E93, "About", 1, -1, 0},
    {2, 0xF5F5F5, "Clock", 1, -1, 0},  {3, 0x1C1C1E, "Term", 1, -1, 0},
    {5, 0xF5C842, "TextEdit", 1, -1, 0}, {8, 0x4A90E2, "Search", 1, -1, 0},
    {10, 0x4A90E2, "Moss Store", 1, -1, 0},
};

i32 screen_w() { return static_cast<i32>(fb_width); }
i32 screen_h() { return static_cast<i32>(fb_height); }

// The records that take a slot: pinned ones in the pinned area, and every
// used dynamic record.
bool shown(i32 i) {
  const DockItem& d = dock_items[i];
  if (d.app == 0) return false;
  return i >= kDockPinnedSlots || d.pinned;
}

i32 last_record() {
  const i32 last = kDockPinnedSlots + dock_dynamic_count - 1;
  return last < kDockSlots ? last : kDockSlots - 1;
}

}  // namespace

DockLayout dock_layout() {
  DockLayout l{0, 0, 0, 0};
  for (i32 i = 0; i < kDockPinnedSlots; ++i)
    if (shown(i)) ++l.pinned;
  l.slots = l.pinned + dock_dynamic_count;
  if (l.slots > kDockSlots) l.slots = kDockSlots;
  l.width = kSlotPitch * l.slots + kDockExtra;
  l.left = (screen_w() - l.width) / 2;
  return l;
}

i32 dock_slot_x(const DockLayout& l, i32 slot) { return l.left + kTileInset + kSlotPitch * slot; }

i32 dock_record_for_slot(i32 slot) {
  i32 seen = 0;
  for (i32 i = 0; i <= last_record(); ++i) {
    if (!shown(i)) continue;
    if (seen == slot) return i;
    ++seen;
  }
  return -1;
}

void dock_reset_dynamic() {
  for (i32 i = kDockPinnedSlots; i < kDockSlots; ++i) dock_items[i] = kEmptyRecord;
  dock_dynamic_count = 0;
}

void dock_reset_all() {
  for (i32 i = 0; i < kDockPinnedSlots; ++i) dock_items[i] = kEmptyRecord;
  for (u32 i = 0; i < sizeof kBuiltInPinned / sizeof kBuiltInPinned[0]; ++i) dock_items[i] = kBuiltInPinned[i];
  dock_reset_dynamic();
  dock_hover = dock_hover_prev = -1;
  dock_hover_start_tick = 0;
  dock_trash_hover = 0;
  trash_confirm_active = 0;
}

u32 dock_colour_for_app(i32 kind) {
  switch (kind) {
    case 1:
    case 6: return 0x8E8E93;
    case 2: return 0xF5F5F5;
    case 3: return 0x1C1C1E;
    case 4: return 0x3A9DFF;
    case 5: return 0xF5C842;
    case 8: return 0x4A90E2;
    case 9: return 0xFF6B6B;
    default: return kEmptyColour;
  }
}

i32 dock_hit_test(i32 x, i32 y) {
  const DockLayout l = dock_layout();
  const i32 H = screen_h();
  if (y < H - 78 || y > H - 3) return -1;
  for (i32 s = 0; s < l.slots; ++s) {
    const i32 left = l.left + 4 + kSlotPitch * s;
    if (x >= left && x <= left + 71) return dock_record_for_slot(s);
  }
  return -1;
}

u32 trash_hit_test(i32 x, i32 y) {
  const DockLayout l = dock_layout();
  const i32 left = l.left + kSlotPitch * l.slots, H = screen_h();
  return x >= left && x <= left + 71 && y >= H - 83 && y <= H - 8 ? 1 : 0;
}

void dock_trash_rect(i32* x, i32* y, i32* w, i32* h) {
  const DockLayout l = dock_layout();
  *x = l.left + kSlotPitch * l.slots + 8;
  *y = screen_h() - 71;
  *w = kTrashSize;
  *h = kTrashSize;
}

void dock_icon_center_for_app(i32 kind, i32* x, i32* y) {
  const DockLayout l = dock_layout();
  *y = screen_h() - kIconCentreDy;
  i32 slot = 0;
  for (i32 i = 0; i <= last_record(); ++i) {
    if (!shown(i)) continue;
    if (dock_items[i].app == kind) {
      *x = l.left + kSlotPitch * slot + kIconCentreDx;
      return;
    }
    ++slot;
  }
  *x = screen_w() / 2;
}

void dock_add_dynamic_item(i32 kind, i32 node, const char* label) {
  for (i32 i = 0; i < kDockPinnedSlots; ++i) {
    const DockItem& d = dock_items[i];
    if (d.pinned && d.app == kind && d.fs_idx == node) return;
  }
  for (i32 i = kDockPinnedSlots; i < kDockPinnedSlots + dock_dynamic_count; ++i)
    if (dock_items[i].app == kind && dock_items[i].fs_idx == node) return;
  if (dock_dynamic_count >= kDockDynamicSlots) return;
  DockItem& d = dock_items[kDockPinnedSlots + dock_dynamic_count];
  d.app = kind;
  d.color = dock_colour_for_app(kind);
  str_copy(d.label, label ? label : "App", kDockLabelCap);
  d.pinned = 0;
  d.fs_idx = node;
  d.is_file = node >= 0 ? 1 : 0;
  dock_dynamic_count = dock_dynamic_count + 1;
}

void dock_remove_dynamic_item(i32 kind, i32 node) {
  const i32 end = kDockPinnedSlots + dock_dynamic_count;
  for (i32 i = kDockPinnedSlots; i < end; ++i) {
    if (dock_items[i].app != kind || dock_items[i].fs_idx != node) continue;
    for (i32 j = i; j + 1 < end; ++j) dock_items[j] = dock_items[j + 1];
    dock_items[end - 1] = kEmptyRecord;
    dock_dynamic_count = dock_dynamic_count - 1;
    return;
  }
}

void dock_remove_pinned(i32 record) {
  if (record < 0 || record >= kDockPinnedSlots) return;
  for (i32 i = record; i + 1 < kDockPinnedSlots; ++i) dock_items[i] = dock_items[i + 1];
  dock_items[kDockPinnedSlots - 1] = kEmptyRecord;
}

void dock_forget_node(i32 node) {
  if (node < 0) return;
  for (i32 i = 0; i < kDockPinnedSlots; ++i)
    if (dock_items[i].fs_idx == node) dock_items[i] = kEmptyRecord;
  for (i32 i = kDockPinnedSlots + dock_dynamic_count - 1; i >= kDockPinnedSlots; --i)
    if (dock_items[i].fs_idx == node) dock_remove_dynamic_item(dock_items[i].app, node);
}

}  // namespace tavlin
