// Where everything in a Store window sits, in its content rectangle: the
// header buttons, the card grid and each card's Download button, the
// scrollbar and the status bar. Drawing and clicks both use it, so what is
// drawn is what answers.
#pragma once
#include "kernel/apps/store.h"
#include "kernel/core/types.h"

namespace tavlin {

struct StoreRect {
  i32 x, y, w, h;
  bool contains(i32 px, i32 py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

constexpr i32 kStoreColumns = 3;
constexpr i32 kStoreCardPitch = 184;  // a card's height and the gap below it
constexpr i32 kStoreCardHeight = 174;

struct StoreLayout {
  StoreRect content;
  StoreRect refresh_button, upload_button;
  StoreRect grid;
  i32 card_w;
  i32 max_scroll;  // how far the grid scrolls: 0 when every row fits; a scrollbar shows when above 0
  StoreRect track;    // the scrollbar's track
  StoreRect scroll_zone;  // presses here belong to the scrollbar
  i32 thumb_len;
  StoreRect status_bar;
};

// False when the window is too small to show anything.
bool store_layout_usable(i32 w, i32 h);
StoreLayout store_layout(const StoreState& s, i32 x, i32 y, i32 w, i32 h);
i32 store_clamp_scroll(const StoreLayout& l, i32 scroll);
// The thumb's top for a scroll position, and the scroll that puts the
// thumb's top at a row of the screen.
i32 store_thumb_top(const StoreLayout& l, i32 scroll);
i32 store_scroll_for_thumb(const StoreLayout& l, i32 thumb_top);
// Card `index` and its Download button at a scroll position.
StoreRect store_card(const StoreLayout& l, i32 scroll, i32 index);
StoreRect store_card_button(const StoreRect& card);
// The card whose Download button is under the point, -1 for none.
i32 store_download_button_at(const StoreLayout& l, const StoreState& s, i32 px, i32 py);
// The scroll that brings the selected card wholly into view.
i32 store_scroll_to_selection(const StoreLayout& l, const StoreState& s);

}  // namespace tavlin
