// The Store window's geometry, computed from its content rectangle and its
// list; see store_layout.h.
#include "kernel/apps/store_layout.h"

namespace tavlin {
namespace {

constexpr i32 kHeader = 30;
constexpr i32 kStatus = 20;
constexpr i32 kMinThumb = 20;

i32 clamp(i32 v, i32 lo, i32 hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

bool store_layout_usable(i32 w, i32 h) { return h - (kHeader + kStatus) >= 1 && w >= 53; }

StoreLayout store_layout(const StoreState& s, i32 x, i32 y, i32 w, i32 h) {
  StoreLayout l{};
  l.content = {x, y, w, h};
  l.refresh_button = {x + 8, y + 4, 36, 22};
  l.upload_button = {x + w - 44, y + 4, 36, 22};
  l.grid = {x, y + kHeader, w, h - (kHeader + kStatus)};
  l.card_w = (w - 50) / kStoreColumns;
  const i32 rows = (store_listed(s) + kStoreColumns - 1) / kStoreColumns;
  const i32 content = rows * kStoreCardPitch;
  l.max_scroll = content > l.grid.h ? content - l.grid.h : 0;
  l.track = {x + w - 8, y + 34, 6, h - 58};
  l.scroll_zone = {x + w - 10, l.grid.y, 10, l.grid.h};
  l.thumb_len = content > 0 ? l.grid.h * l.grid.h / content : 0;
  if (l.thumb_len < kMinThumb) l.thumb_len = kMinThumb;
  if (l.thumb_len > l.track.h) l.thumb_len = l.track.h;
  l.status_bar = {x, y + h - kStatus, w, kStatus};
  return l;
}

i32 store_clamp_scroll(const StoreLayout& l, i32 scroll) { return clamp(scroll, 0, l.max_scroll); }

i32 store_thumb_top(const StoreLayout& l, i32 scroll) {
  const i32 free = l.track.h - l.thumb_len;
  if (l.max_scroll <= 0 || free <= 0) return l.track.y;
  return l.track.y + free * store_clamp_scroll(l, scroll) / l.max_scroll;
}

i32 store_scroll_for_thumb(const StoreLayout& l, i32 thumb_top) {
  const i32 free = l.track.h - l.thumb_len;
  if (l.max_scroll <= 0 || free <= 0) return 0;
  return (clamp(thumb_top, l.track.y, l.track.y + free) - l.track.y) * l.max_scroll / free;
}

StoreRect store_card(const StoreLayout& l, i32 scroll, i32 index) {
  const i32 row = index / kStoreColumns, column = index % kStoreColumns;
  return {l.content.x + 10 + column * (l.card_w + 10), l.grid.y + 10 + row * kStoreCardPitch - scroll, l.card_w,
          kStoreCardHeight};
}

StoreRect store_card_button(const StoreRect& card) { return {card.x + 10, card.y + 142, card.w - 30, 24}; }

i32 store_download_button_at(const StoreLayout& l, const StoreState& s, i32 px, i32 py) {
  if (!l.grid.contains(px, py) || l.card_w <= 0) return -1;
  const i32 dx = px - (l.content.x + 10);
  if (dx < 0) return -1;
  const i32 column = dx / (l.card_w + 10);
  const i32 row = (py - (l.grid.y + 10) + s.list_scroll) / kStoreCardPitch;
  if (column >= kStoreColumns || row < 0) return -1;
  const i32 index = row * kStoreColumns + column;
  if (index >= store_listed(s)) return -1;
  return store_card_button(store_card(l, s.list_scroll, index)).contains(px, py) ? index : -1;
}

i32 store_scroll_to_selection(const StoreLayout& l, const StoreState& s) {
  if (s.selected < 0 || s.selected >= store_listed(s)) return store_clamp_scroll(l, s.list_scroll);
  const i32 top = 10 + s.selected / kStoreColumns * kStoreCardPitch;  // in grid coordinates
  i32 scroll = s.list_scroll;
  if (top + kStoreCardHeight > scroll + l.grid.h) scroll = top + kStoreCardHeight - l.grid.h;
  if (top - 10 < scroll) scroll = top - 10;
  return store_clamp_scroll(l, scroll);
}

}  // namespace tavlin
