// Drawing a Store window: the card grid with previews, names, descriptions
// and Download buttons, the scrollbar, the "RE"/"UP" header and the status
// bar. Cards are clipped to the grid row by row.
#include "kernel/apps/apps.h"
#include "kernel/apps/store.h"
#include "kernel/apps/store_layout.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/gfx/span.h"

namespace tavlin {
namespace {

constexpr u32 kGridBg = 0xF5F5F5;
constexpr u32 kButtonBlue = 0x4A90E2;
constexpr u32 kSelection = 0x0A84FF;
constexpr i32 kGlyph = 8;

// The rows [top, bottom) that cards may paint.
struct Clip {
  i32 top, bottom;
};

// A rounded rectangle painted only on the clip's rows, with the same corner
// shape as fill_rounded_rect.
void clipped_round(const StoreRect& r, i32 radius, u32 colour, const Clip& c) {
  const i32 first = r.y > c.top ? r.y : c.top;
  const i32 last = r.y + r.h < c.bottom ? r.y + r.h : c.bottom;
  for (i32 row = first; row < last; ++row) {
    const i32 k = row - r.y < r.y + r.h - 1 - row ? row - r.y : r.y + r.h - 1 - row;
    const i32 inset = k < radius ? static_cast<i32>(gfx_detail::corner_inset(radius, radius - k)) : 0;
    fill_rect(r.x + inset, row, r.w - 2 * inset, 1, colour);
  }
}

void clipped_outline(const StoreRect& r, u32 colour, const Clip& c) {
  const i32 first = r.y > c.top ? r.y : c.top;
  const i32 last = r.y + r.h < c.bottom ? r.y + r.h : c.bottom;
  if (first >= last) return;
  if (r.y >= c.top) fill_rect(r.x, r.y, r.w, 1, colour);
  if (r.y + r.h <= c.bottom) fill_rect(r.x, r.y + r.h - 1, r.w, 1, colour);
  fill_rect(r.x, first, 1, last - first, colour);
  fill_rect(r.x + r.w - 1, first, 1, last - first, colour);
}

bool text_fits(i32 y, const Clip& c) { return y >= c.top && y + kGlyph <= c.bottom; }

// Text cut to `room` pixels, drawn only when its whole line is inside the clip.
void clipped_text(i32 x, i32 y, const char* text, i32 room, u32 colour, const Clip& c) {
  if (!text_fits(y, c) || room < kGlyph) return;
  char line[64];
  str_copy(line, text, sizeof line);
  const u32 fit = static_cast<u32>(room / kGlyph);
  if (strlen(line) > fit) line[fit] = 0;
  draw_text(x, y, line, colour, 1);
}

void clipped_centred(i32 cx, i32 cy, const char* text, u32 colour, const Clip& c) {
  if (text_fits(cy - kGlyph / 2, c)) draw_text_centered(cx, cy, text, colour, 1);
}

}  // namespace

// Whether a file's name says it is a picture (its extension starts with one
// the image viewer knows).
bool store_name_is_image(const char* name) {
  const char* dot = nullptr;
  for (const char* p = name; *p; ++p)
    if (*p == '.') dot = p;
  if (!dot) return false;
  static const char* const kImageExtensions[] = {".png", ".jpg", ".jpeg", ".bmp", ".yrf"};
  for (const char* ext : kImageExtensions)
    if (str_starts_nocase(dot, ext)) return true;
  return false;
}

namespace {

void draw_preview(const StoreRect& card, const char* name, const Clip& c) {
  const StoreRect box{card.x + 8, card.y + 8, card.w - 16, 76};
  clipped_round(box, 0, 0xE8E8E8, c);
  const i32 mid_x = box.x + box.w / 2, mid_y = box.y + box.h / 2;
  if (store_name_is_image(name)) {
    clipped_centred(mid_x, mid_y - 6, "IMAGE", 0x777777, c);
    clipped_centred(mid_x, mid_y + 6, "PREVIEW", 0x999999, c);
    return;
  }
  clipped_round({mid_x - 20, mid_y - 20, 40, 40}, 4, 0xA8A8A8, c);
  clipped_centred(mid_x, mid_y, "F", 0xFFFFFF, c);
}

void draw_card(const StoreLayout& l, const StoreState& s, i32 index) {
  const StoreRect card = store_card(l, s.list_scroll, index);
  const Clip c{l.grid.y, l.grid.y + l.grid.h};
  if (card.y + card.h <= c.top || card.y >= c.bottom) return;
  clipped_round(card, 6, 0xFFFFFF, c);
  clipped_outline(card, index == s.selected ? kSelection : 0xD0D0D0, c);
  if (index == s.selected) clipped_outline({card.x + 1, card.y + 1, card.w - 2, card.h - 2}, kSelection, c);
  draw_preview(card, s.file_names[index], c);
  const i32 room = card.w - 20;
  clipped_text(card.x + 10, card.y + 96, s.file_names[index], room, 0x202020, c);
  const char* desc = s.file_descs[index][0] ? s.file_descs[index] : "No description";
  clipped_text(card.x + 10, card.y + 114, desc, room, 0x777777, c);
  const StoreRect button = store_card_button(card);
  clipped_round(button, 4, kButtonBlue, c);
  clipped_centred(button.x + button.w / 2, button.y + button.h / 2, "Download", 0xFFFFFF, c);
}

void draw_scrollbar(const StoreLayout& l, i32 scroll) {
  if (l.max_scroll <= 0) return;
  fill_rounded_rect(l.track.x, l.track.y, l.track.w, l.track.h, 3, 0xDDDDDD);
  fill_rounded_rect(l.track.x, store_thumb_top(l, scroll), l.track.w, l.thumb_len, 3, 0x999999);
}

void draw_header(const StoreLayout& l) {
  const StoreRect& c = l.content;
  fill_rect(c.x, c.y, c.w, 30, 0xE8E8E8);
  fill_rect(c.x, c.y + 29, c.w, 1, 0xC0C0C0);
  const StoreRect& re = l.refresh_button;
  fill_rounded_rect(re.x, re.y, re.w, re.h, 5, 0xCCCCCC);
  draw_text_centered(re.x + re.w / 2, re.y + re.h / 2, "RE", 0x222222, 1);
  const StoreRect& up = l.upload_button;
  fill_rounded_rect(up.x, up.y, up.w, up.h, 5, 0x4CAF50);
  draw_text_centered(up.x + up.w / 2, up.y + up.h / 2, "UP", 0xFFFFFF, 1);
}

}  // namespace

void draw_app_zivirerev(StoreState* state, i32 x, i32 y, i32 w, i32 h) {
  if (!state || !store_layout_usable(w, h)) return;
  StoreState& s = *state;
  const StoreLayout l = store_layout(s, x, y, w, h);
  s.list_scroll = store_clamp_scroll(l, s.list_scroll);
  fill_rect(l.grid.x, l.grid.y, l.grid.w, l.grid.h, kGridBg);
  const i32 count = store_listed(s);
  if (count == 0) draw_text_centered(x + w / 2, l.grid.y + l.grid.h / 2, "No files on server", 0x999999, 1);
  for (i32 i = 0; i < count; ++i) draw_card(l, s, i);
  draw_scrollbar(l, s.list_scroll);
  draw_header(l);
  fill_rect(l.status_bar.x, l.status_bar.y, l.status_bar.w, l.status_bar.h, 0xEFEFEF);
  clipped_text(x + 8, y + h - 16, s.status, w - 16, 0x666666, {y, y + h});
}

}  // namespace tavlin
