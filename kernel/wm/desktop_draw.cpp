// Drawing the desktop layer: the icons of the Desktop folder (document or
// folder pictures, selection highlight, inline rename field, labels) and
// the rubber band of a selection in progress.
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/render_parts.h"

namespace tavlin {
namespace {

constexpr u32 kSelection = 0x3390FF;
constexpr u32 kBlue = 0x0A84FF;
constexpr i32 kTile = 64;
constexpr u32 kRenameShown = 8;  // characters of the rename field shown

void draw_selection(const DesktopIcon& d) {
  fill_rounded_rect(d.x - 6, d.y - 6, 76, 100, 10, kSelection);
  fill_rect_alpha(d.x - 6, d.y - 6, 76, 100, kSelection, 60);
}

void draw_rename_field(const DesktopIcon& d) {
  fill_rounded_rect(d.x, d.y, kTile, kTile, 12, d.color);
  fill_rect_alpha(d.x, d.y, kTile, 32, 0xFFFFFF, 35);
  fill_rect(d.x - 3, d.y + 73, 70, 14, 0xFFFFFF);
  draw_rect_outline(d.x - 3, d.y + 73, 70, 14, kBlue);
  char text[kDesktopRenameCap + 2];
  str_copy(text, d.rename_buf, kDesktopRenameCap);
  str_cat(text, "_");
  const u32 len = strlen(text);
  draw_text(d.x, d.y + 76, len > kRenameShown ? text + (len - kRenameShown) : text, 0x1C1C1C, 1);
}

void draw_document(i32 x, i32 y) {
  fill_rect_alpha(x + 2, y + 3, kTile, 62, 0x000000, 40);
  fill_rounded_rect_vgrad(x, y, kTile, kTile, 6, 0xFFFFFF, 0xDDE9F5);
  fill_rect_alpha(x + 3, y + 3, 58, 20, 0xFFFFFF, 100);
  // The folded corner: a shrinking triangle under its diagonal edge.
  for (i32 k = 0; k < 16; ++k) {
    fill_rect(x + 48 + k, y + k, 16 - k, 1, 0xB9C9DA);
    put_pixel(x + 48 + k, y + k, 0x8FA4BA);
  }
  draw_rect_outline(x, y, kTile, kTile, 0x9FB0C2);
  fill_rect(x + 10, y + 30, 44, 2, 0xA8B8C8);
  fill_rect(x + 10, y + 38, 44, 2, 0xA8B8C8);
  fill_rect(x + 10, y + 46, 30, 2, 0xA8B8C8);
}

void draw_folder(i32 x, i32 y) {
  fill_rect_alpha(x + 2, y + 3, kTile, 62, 0x000000, 45);
  fill_rounded_rect(x, y + 4, 25, 14, 4, 0xE89B2E);
  fill_rounded_rect_vgrad(x, y + 12, kTile, 52, 10, 0xFFE9A8, 0xF0A83C);
  fill_rect_alpha(x + 3, y + 14, 58, 18, 0xFFFFFF, 85);
  draw_rect_outline(x, y + 12, kTile, 52, 0xB87A20);
}

void draw_icon(const DesktopIcon& d) {
  if (d.selected && !d.renaming) draw_selection(d);
  if (d.renaming) {
    draw_rename_field(d);
    return;
  }
  if (fs_is_live_file(d.fs_idx))
    draw_document(d.x, d.y);
  else
    draw_folder(d.x, d.y);
  draw_text_centered(d.x + kTile / 2, d.y + 78, d.label, 0xF5F5F5, 1);
}

}  // namespace

void draw_desktop_icons() {
  for (const DesktopIcon& d : desktop_icons)
    if (d.in_use) draw_icon(d);
}

void draw_desktop_rubber_band() {
  if (!desktop_rubber_active) return;
  const i32 x0 = desktop_rubber_start_x < desktop_rubber_cur_x ? desktop_rubber_start_x : desktop_rubber_cur_x;
  const i32 y0 = desktop_rubber_start_y < desktop_rubber_cur_y ? desktop_rubber_start_y : desktop_rubber_cur_y;
  const i32 w = desktop_rubber_start_x + desktop_rubber_cur_x - 2 * x0;
  const i32 h = desktop_rubber_start_y + desktop_rubber_cur_y - 2 * y0;
  if (w <= 0 || h <= 0) return;
  fill_rect_alpha(x0, y0, w, h, kBlue, 60);
  draw_rect_outline(x0, y0, w, h, kBlue);
}

}  // namespace tavlin
