// Presses in a Store window: "RE" and "UP" in its header, the card grid's
// scrollbar and each card's Download button; and the scrollbar thumb's
// drag while the button is held.
#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/core/kstring.h"
#include "kernel/core/mouse.h"
#include "kernel/net/http.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kCardPitch = 184;  // a card's height and the gap below it
constexpr i32 kColumns = 3;
constexpr i32 kHeaderBottom = 60;
constexpr i32 kTrackTop = 64;
constexpr i32 kMinThumb = 20;

// The card grid's scroll geometry: content and view heights, and the
// track's top, thumb length and free length.
struct Scroll {
  i32 content, view;
  i32 track_top, thumb, free;
};

Scroll scroll_of(const Window& w, const StoreState& s) {
  Scroll g;
  const i32 files = s.file_count < kStoreFiles ? static_cast<i32>(s.file_count) : static_cast<i32>(kStoreFiles);
  g.content = (files + kColumns - 1) / kColumns * kCardPitch;
  g.view = w.h - 80;
  g.track_top = w.y + kTrackTop;
  const i32 track = w.h - 88;
  g.thumb = g.content > 0 ? g.view * g.view / g.content : 0;
  if (g.thumb < kMinThumb) g.thumb = kMinThumb;
  if (g.thumb > track) g.thumb = track;
  g.free = track - g.thumb;
  return g;
}

i32 clamp(i32 v, i32 lo, i32 hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The scroll that puts the thumb's top at `thumb_top`.
i32 scroll_for_thumb(const Scroll& g, i32 thumb_top) {
  if (g.view >= g.content || g.free <= 0) return 0;
  return (clamp(thumb_top, g.track_top, g.track_top + g.free) - g.track_top) * (g.content - g.view) / g.free;
}

void set_status(StoreState& s, const char* text) { str_copy(s.status, text, sizeof s.status); }

void press_header(const Window& w, StoreState& s, i32 cx) {
  if (cx >= w.x + 8 && cx <= w.x + 43) {
    s.refresh_pending = 1;
    set_status(s, "Refreshing...");
  } else if (cx >= w.x + w.w - 44 && cx <= w.x + w.w - 9) {
    upload_dialog_open();
  }
}

void press_scrollbar(StoreState& s, const Scroll& g, i32 cy) {
  const i32 thumb_top = g.track_top + s.list_scroll * g.free / (g.content - g.view);
  if (cy >= thumb_top && cy < thumb_top + g.thumb) {
    s.dragging = 1;
    s.drag_offset = cy - thumb_top;
    return;
  }
  s.list_scroll = scroll_for_thumb(g, cy - g.thumb / 2);
}

void press_cards(const Window& w, StoreState& s, i32 cx, i32 cy) {
  const i32 card_w = (w.w - 50) / kColumns;
  const i32 dx = cx - (w.x + 10);
  if (dx < 0 || card_w <= 0) return;
  const i32 column = dx / (card_w + 10);
  if (column >= kColumns || dx - column * (card_w + 10) >= card_w) return;
  const i32 row = (s.list_scroll - 10 + cy - (w.y + kHeaderBottom)) / kCardPitch;
  const i32 index = row * kColumns + column;
  if (row < 0 || index >= static_cast<i32>(s.file_count) || index >= static_cast<i32>(kStoreFiles)) return;
  const i32 card_top = w.y + 70 + row * kCardPitch - s.list_scroll;
  if (cy >= card_top + 142 && cy <= card_top + 165) store_download(s, index);
}

}  // namespace

void store_download(StoreState& s, i32 index) {
  if (index < 0 || index >= static_cast<i32>(kStoreFiles)) return;
  set_status(s, "Downloading...");
  const u32 ok = http_download_file(s.file_names[index]);
  set_status(s, ok ? "Downloaded" : "Download failed");
}

bool press_store(Window& w, i32 cx, i32 cy) {
  if (!w.store) return false;
  StoreState& s = *w.store;
  if (w.w < 53 || w.h - 80 < 1) return true;
  if (cy < w.y + kHeaderBottom) {
    press_header(w, s, cx);
    return true;
  }
  if (cy >= w.y + w.h - 20) return true;
  const Scroll g = scroll_of(w, s);
  if (g.view < g.content && cx >= w.x + w.w - 11)
    press_scrollbar(s, g, cy);
  else
    press_cards(w, s, cx, cy);
  return true;
}

void update_store_thumb(Window& w) {
  if (!w.store || !w.store->dragging) return;
  StoreState& s = *w.store;
  s.list_scroll = scroll_for_thumb(scroll_of(w, s), mouse_y - s.drag_offset);
}

}  // namespace tavlin::dispatch
