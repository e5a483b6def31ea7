// The small pictures on dock tiles, one per application kind, scaled to the
// tile (56 pixels, or 66 while hovered).
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/dock_parts.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kWhite = 0xFFFFFF;
constexpr u32 kBlue = 0x0A84FF;

// A rounded square inset in the tile, with a short label across it.
void badge(i32 x, i32 y, i32 s, u32 colour, const char* text, i32 scale) {
  const i32 inset = s / 9;
  fill_rounded_rect(x + inset, y + inset, s - 2 * inset, s - 2 * inset, 10, colour);
  draw_text_centered(x + s / 2, y + s / 2, text, kWhite, scale);
}

void clock_face(i32 cx, i32 cy, i32 s) {
  const i32 r = s * 3 / 8;
  fill_circle(cx, cy, r, 0x2C2C2E);
  fill_rect(cx - 1, cy - r * 5 / 8, 2, r * 5 / 8 + 1, kWhite);  // hour hand, at twelve
  fill_rect(cx, cy - 1, r * 3 / 4, 2, kWhite);                  // minute hand, at three
}

void finder_frame(i32 x, i32 y, i32 s) {
  const i32 side = s / 6, top = y + s / 4;
  const i32 fw = s - 2 * side, fh = s - s / 4 - side;
  fill_rect(x + side, top - 4, fw, 3, kWhite);
  draw_rect_outline(x + side, top, fw, fh, kWhite);
  const i32 r = (fw < fh ? fw : fh) / 2 - 4;
  draw_globe_outline(x + side + fw / 2, top + fh / 2, r);
}

void text_page(i32 x, i32 y, i32 s) {
  fill_rounded_rect(x + 8, y + 8, s - 16, s - 16, 4, kWhite);
  for (i32 i = 0; i < 3; ++i) fill_rect(x + 14, y + 18 + 8 * i, s - 28, 2, 0x555555);
}

void web_globe(i32 cx, i32 cy, i32 s) {
  const i32 r = s / 2 - 8;
  fill_circle(cx, cy, r, kBlue);
  draw_globe_outline(cx, cy, r - 4);
}

void shopping_bag(i32 x, i32 y, i32 s) {
  const i32 inset = s / 9, cx = x + s / 2, cy = y + s / 2;
  fill_rounded_rect(x + inset, y + inset, s - 2 * inset, s - 2 * inset, 10, kBlue);
  fill_rounded_rect(cx - 12, cy - 6, 24, 20, 3, kWhite);
  fill_rect(cx - 7, cy - 13, 2, 8, kWhite);
  fill_rect(cx + 5, cy - 13, 2, 8, kWhite);
  fill_rect(cx - 7, cy - 13, 14, 2, kWhite);
}

}  // namespace

void draw_dock_glyph(i32 kind, i32 x, i32 y, i32 s) {
  const i32 cx = x + s / 2, cy = y + s / 2;
  switch (static_cast<u32>(kind)) {
    case app::kAbout: draw_text_centered(cx, cy, "i", kWhite, 3); break;
    case app::kClock: clock_face(cx, cy, s); break;
    case app::kTerminal: draw_text_centered(cx, cy, ">_", 0x30D158, 2); break;
    case app::kFinder: finder_frame(x, y, s); break;
    case app::kTextEdit: text_page(x, y, s); break;
    case app::kImageViewer: badge(x, y, s, 0x8E8E93, "IMG", 2); break;
    case app::kBrowser: web_globe(cx, cy, s); break;
    case app::kMediaPlayer: badge(x, y, s, 0xFF6B6B, "MDI", 2); break;
    case app::kStore: shopping_bag(x, y, s); break;
    default: badge(x, y, s, 0x888888, "HIT", 3); break;
  }
}

}  // namespace tavlin
