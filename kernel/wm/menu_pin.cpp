// Pin to Dock and Unpin from Dock: the context menu's node or application
// gains or loses a record in the dock's pinned area.
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/menu_parts.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kLongestFullName = 20;
constexpr u32 kShortenedKeep = 17;

struct PinTarget {
  i32 kind;
  i32 node;
  char label[kDockLabelCap];
};

// A file name fits a tile's tooltip whole up to 20 characters; longer ones
// keep 17 and end in "...".
void shorten_name(const char* name, char* out) {
  str_copy(out, name, kDockLabelCap);
  if (strlen(name) > kLongestFullName) {
    out[kShortenedKeep] = 0;
    str_cat(out, "...");
  }
}

// The label of a running application's tile, when it has one.
const char* dynamic_label(i32 kind) {
  for (i32 i = kDockPinnedSlots; i < kDockPinnedSlots + dock_dynamic_count && i < kDockSlots; ++i)
    if (dock_items[i].app == kind && dock_items[i].fs_idx < 0) return dock_items[i].label;
  return nullptr;
}

// What the menu's pin would create: the live node it names, or else an
// application, taken from the menu or the focused window.
PinTarget pin_target() {
  PinTarget t{ctx_menu.app, ctx_menu.fs_idx, ""};
  if (fs_is_live(t.node)) {
    shorten_name(fs_nodes[t.node].name, t.label);
    t.kind = fs_nodes[t.node].kind == kFsFile ? get_app_for_file(t.node) : static_cast<i32>(app::kTextEdit);
    return t;
  }
  const Window* focused = win_focused();
  if (t.kind == 0 && focused) t.kind = static_cast<i32>(focused->app);
  // The focused window names the tile only when it is that application's:
  // a dock menu on a tile without a visible window focuses nothing.
  const char* running = dynamic_label(t.kind);
  if (focused && static_cast<i32>(focused->app) == t.kind)
    str_copy(t.label, focused->title, kDockLabelCap);
  else
    str_copy(t.label, running ? running : "App", kDockLabelCap);
  if (t.kind == 0) t.kind = static_cast<i32>(app::kTextEdit);
  return t;
}

i32 pinned_record(i32 kind, i32 node) {
  for (i32 i = 0; i < kDockPinnedSlots; ++i)
    if (dock_items[i].pinned && dock_items[i].app == kind && dock_items[i].fs_idx == node) return i;
  return -1;
}

i32 free_pinned_record() {
  for (i32 i = 0; i < kDockPinnedSlots; ++i)
    if (!dock_items[i].pinned || dock_items[i].app == 0) return i;
  return -1;
}

i32 unpin_kind() {
  if (ctx_menu.app != 0) return ctx_menu.app;
  if (ctx_menu.fs_idx < 0) {
    const Window* focused = win_focused();
    return focused ? static_cast<i32>(focused->app) : 0;
  }
  return fs_is_live_file(ctx_menu.fs_idx) ? get_app_for_file(ctx_menu.fs_idx) : 0;
}

// An open file keeps a tile of its own once its pin is gone.
void keep_tile_for_open_file(i32 kind, i32 node) {
  if (!fs_is_live_file(node) || get_app_for_file(node) == 0) return;
  for (const Window& w : windows) {
    if (!w.in_use || static_cast<i32>(w.app) != kind) continue;
    const i32 shown = w.doc_node >= 0 ? w.doc_node : w.image_node;
    if (shown != node) continue;
    char label[kDockLabelCap];
    shorten_name(fs_nodes[node].name, label);
    dock_add_dynamic_item(kind, node, label);
    return;
  }
}

}  // namespace

bool dock_pin_possible() {
  // A node index left over from a deleted node names nothing to pin.
  if (ctx_menu.fs_idx >= 0 && !fs_is_live(ctx_menu.fs_idx)) return false;
  const PinTarget t = pin_target();
  return pinned_record(t.kind, t.node) < 0 && free_pinned_record() >= 0;
}

bool dock_unpin_possible() { return pinned_record(unpin_kind(), ctx_menu.fs_idx) >= 0; }

void dock_pin_menu_target() {
  if (ctx_menu.fs_idx >= 0 && !fs_is_live(ctx_menu.fs_idx)) return;
  const PinTarget t = pin_target();
  if (pinned_record(t.kind, t.node) >= 0) return;
  const i32 slot = free_pinned_record();
  if (slot < 0) {
    serial_puts("[Dock] No free pinned slot \xE2\x80\x94 pin failed, item left where it was\n");
    return;
  }
  dock_remove_dynamic_item(t.kind, t.node);
  DockItem& d = dock_items[slot];
  d.app = t.kind;
  d.color = dock_colour_for_app(t.kind);
  str_copy(d.label, t.label, kDockLabelCap);
  d.pinned = 1;
  d.fs_idx = t.node;
  d.is_file = t.node >= 0 ? 1 : 0;
  serial_puts("[Dock] Pinned\n");
}

void dock_unpin_menu_target() {
  const i32 kind = unpin_kind(), node = ctx_menu.fs_idx;
  const i32 record = pinned_record(kind, node);
  if (record < 0) return;
  dock_remove_pinned(record);
  keep_tile_for_open_file(kind, node);
  serial_puts("[Dock] Unpinned\n");
}

}  // namespace tavlin
