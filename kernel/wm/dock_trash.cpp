// The dock's trash can, filled in tenths by the number of trashed items,
// and the "Empty Bin?" confirmation that asks before emptying it.
#include "kernel/core/framebuffer.h"
#include "kernel/fs/trash.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/dock_parts.h"

namespace tavlin {
namespace {

constexpr u32 kCanColour = 0xE8E8EC;
constexpr u32 kCanAlpha = 235;
constexpr u32 kFillColour = 0xB8B8BC;
constexpr u32 kOutlineAlpha = 90;
constexpr u32 kFullAt = 10;  // items that fill the can

struct Can {
  i32 x, y, size;
};

Can trash_can() {
  Can c;
  i32 w, h;
  dock_trash_rect(&c.x, &c.y, &w, &h);
  c.size = w;
  if (dock_trash_hover) {
    c.x -= 5;
    c.y -= 10;
    c.size += 10;
  }
  return c;
}

// The body narrows from 38 % of the can's size at its top to 30 % at its
// bottom; the bottom tenths fill up with the trashed items.
void draw_body(const Can& c, i32 top, i32 bottom) {
  const i32 cx = c.x + c.size / 2, rows = bottom - top;
  const i32 hw_top = c.size * 38 / 100, hw_bottom = c.size * 30 / 100;
  const u32 items = trash_count < kFullAt ? trash_count : kFullAt;
  const i32 fill_from = bottom - rows * static_cast<i32>(items) / static_cast<i32>(kFullAt);
  for (i32 r = top; r < bottom; ++r) {
    const i32 hw = hw_top + (hw_bottom - hw_top) * (r - top) / (rows > 1 ? rows - 1 : 1);
    if (r >= fill_from)
      fill_rect(cx - hw, r, 2 * hw, 1, kFillColour);
    else
      fill_rect_alpha(cx - hw, r, 2 * hw, 1, kCanColour, kCanAlpha);
    fill_rect_alpha(cx - hw, r, 1, 1, 0x000000, kOutlineAlpha);
    fill_rect_alpha(cx + hw - 1, r, 1, 1, 0x000000, kOutlineAlpha);
  }
}

}  // namespace

void draw_dock_trash() {
  const Can c = trash_can();
  const i32 top = c.y + c.size * 22 / 100, bottom = c.y + c.size * 92 / 100;
  const i32 cx = c.x + c.size / 2, hw_top = c.size * 38 / 100;
  draw_body(c, top, bottom);
  if (c.size >= 20) {
    const i32 lid = c.size / 20;
    fill_rect_alpha(cx - hw_top - 2, top - lid, 2 * hw_top + 4, lid, 0x000000, kOutlineAlpha);
  }
  fill_rect_alpha(cx - hw_top, top, 2 * hw_top, 2, 0xFFFFFF, 70);
  fill_rect_alpha(cx - hw_top / 2, top + 2, c.size / 10, (bottom - top) / 3, 0xFFFFFF, 40);
}

void trash_confirm_origin(i32* x, i32* y) {
  const i32 W = static_cast<i32>(fb_width);
  i32 px = trash_confirm_x - 90;
  if (px < 4) px = 4;
  if (px + 180 > W - 4) px = W - 184;
  i32 py = trash_confirm_y - 100;
  if (py < 32) py = 32;
  *x = px;
  *y = py;
}

void draw_trash_confirm() {
  i32 px, py;
  trash_confirm_origin(&px, &py);
  fill_rect_alpha(px + 4, py + 4, 180, 90, 0x000000, 60);
  fill_rounded_rect(px, py, 180, 90, 8, 0xF7F7F7);
  draw_rect_outline(px, py, 180, 90, 0xC7C7C7);
  draw_text_centered(px + 90, py + 12, "Empty Bin?", 0x1C1C1C, 1);
  draw_text_centered(px + 90, py + 28, "This cannot be undone.", 0x888888, 1);
  fill_rounded_rect(px + 12, py + 62, 70, 20, 5, 0xFF5F57);
  draw_text_centered(px + 47, py + 72, "Empty", 0xFFFFFF, 1);
  fill_rounded_rect(px + 98, py + 62, 70, 20, 5, 0xDDDDDD);
  draw_text_centered(px + 133, py + 72, "Cancel", 0x1C1C1C, 1);
}

}  // namespace tavlin
