// Presses in a Store window: "RE" and "UP" in its header, the card grid's
// scrollbar and each card's Download button; and the scrollbar thumb's
// drag while the button is held. The places come from the window's layout.
#include "kernel/apps/store.h"
#include "kernel/apps/store_layout.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/core/kstring.h"
#include "kernel/core/mouse.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {

StoreLayout layout_of(const Window& w, const StoreState& s) { return store_layout(s, w.x + 1, w.y + 30, w.w - 2, w.h - 31); }

namespace {

void press_header(const StoreLayout& l, StoreState& s, i32 cx, i32 cy) {
  if (l.refresh_button.contains(cx, cy)) {
    s.refresh_pending = 1;
    str_copy(s.status, "Refreshing...", sizeof s.status);
  } else if (l.upload_button.contains(cx, cy)) {
    upload_dialog_open();
  }
}

void press_scrollbar(const StoreLayout& l, StoreState& s, i32 cy) {
  const i32 thumb_top = store_thumb_top(l, s.list_scroll);
  if (cy >= thumb_top && cy < thumb_top + l.thumb_len) {
    s.dragging = 1;
    s.drag_offset = cy - thumb_top;
    return;
  }
  s.list_scroll = store_scroll_for_thumb(l, cy - l.thumb_len / 2);
}

}  // namespace

bool press_store(Window& w, i32 cx, i32 cy) {
  if (!w.store) return false;
  StoreState& s = *w.store;
  if (!store_layout_usable(w.w - 2, w.h - 31)) return true;
  const StoreLayout l = layout_of(w, s);
  if (cy < l.grid.y) {
    press_header(l, s, cx, cy);
  } else if (cy < l.grid.y + l.grid.h) {
    if (l.max_scroll > 0 && l.scroll_zone.contains(cx, cy))
      press_scrollbar(l, s, cy);
    else
      store_download(s, store_download_button_at(l, s, cx, cy));
  }
  return true;
}

void update_store_thumb(Window& w) {
  if (!w.store || !w.store->dragging) return;
  StoreState& s = *w.store;
  s.list_scroll = store_scroll_for_thumb(layout_of(w, s), mouse_y - s.drag_offset);
}

}  // namespace tavlin::dispatch
