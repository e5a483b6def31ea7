// 8x8 bitmap text: plain, centred, and cut to a label with an ellipsis.
#include "kernel/core/kstring.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/font.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {
namespace {

constexpr i32 kGlyphSize = 8;
constexpr i32 kLineAdvance = 10;
constexpr i32 kLabelWidth = 82;  // icon labels are cut to this many pixels
constexpr i32 kEllipsisWidth = 24;

void draw_glyph(i32 x, i32 y, u8 code, u32 colour, i32 scale) {
  const i64 side = static_cast<i64>(kGlyphSize) * scale;
  DrawOp op = make_draw_op(draw_op::kGlyph, x, y, side, side);
  op.v[4] = code & 0x7F;
  op.v[5] = static_cast<i32>(colour);
  op.v[6] = scale;
  DrawScope scope(op);
  if (!scope.paint()) return;
  const ClipRect area = paint_area();
  if (x >= area.x1 || y >= area.y1 || x + side <= area.x0 || y + side <= area.y0) return;
  const u8* rows = font8x8[code & 0x7F];
  const bool inside = x >= area.x0 && y >= area.y0 && x + side <= area.x1 && y + side <= area.y1;
  for (i32 r = 0; r < kGlyphSize; ++r) {
    u32 bits = rows[r];
    if (!bits) continue;
    if (scale == 1 && inside) {
      u32* line = backbuf + static_cast<usize>(y + r) * fb_width + x;
      for (i32 b = 0; bits; ++b, bits >>= 1)
        if (bits & 1) line[b] = colour;
      continue;
    }
    for (i32 b = 0; bits; ++b, bits >>= 1) {
      if (!(bits & 1)) continue;
      if (scale == 1)
        put_pixel(x + b, y + r, colour);
      else
        fill_rect(x + b * scale, y + r * scale, scale, scale, colour);
    }
  }
}

}  // namespace

void draw_text(i32 x, i32 y, const char* text, u32 colour, i32 scale) {
  i32 pen_x = x, pen_y = y;
  for (const char* p = text; *p; ++p) {
    u8 c = static_cast<u8>(*p);
    if (c == '\n') {
      pen_x = x;
      pen_y += kLineAdvance * scale;
      continue;
    }
    if (c >= 0x80) c = '?';
    draw_glyph(pen_x, pen_y, c, colour, scale);
    pen_x += kGlyphSize * scale;
  }
}

void draw_text_centered(i32 cx, i32 cy, const char* text, u32 colour, i32 scale) {
  const i32 n = static_cast<i32>(strlen(text));
  if (n == 0) return;
  draw_text(cx - (n * kGlyphSize * scale) / 2, cy - 4 * scale, text, colour, scale);
}

void text_truncate_ellipsis(const char* src, char* dst) {
  const i32 len = static_cast<i32>(strlen(src));
  if (len == 0) {
    dst[0] = 0;
    return;
  }
  if (len * kGlyphSize <= kLabelWidth) {
    str_copy(dst, src, 32);
    return;
  }
  i32 keep = (kLabelWidth - kEllipsisWidth) / kGlyphSize;
  if (keep > len) keep = len;
  if (keep > 28) keep = 28;
  memcpy(dst, src, static_cast<usize>(keep));
  dst[keep] = '.';
  dst[keep + 1] = '.';
  dst[keep + 2] = '.';
  dst[keep + 3] = 0;
}

}  // namespace tavlin
