// TextEdit's click-to-caret: the text position under a point of its text
// area, used by a press and while the button is held to select.
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kLineHMin = 8, kLineHMax = 24;
constexpr i32 kMaxLineStarts = 256;  // line 0 and the lines after 255 newlines
constexpr i32 kGutter = 36;
constexpr i32 kTextLeft = 43;  // the first column of text, from the window's edge
constexpr i32 kGlyph = 8;
constexpr i32 kContentTop = 30;
constexpr i32 kStatusBar = 21;

struct Lines {
  i32 start[kMaxLineStarts];
  i32 count;
};

Lines line_starts_of(const char* text, i32 length) {
  Lines l;
  l.start[0] = 0;
  l.count = 1;
  for (i32 i = 0; i < length && l.count < kMaxLineStarts; ++i)
    if (text[i] == '\n') l.start[l.count++] = i + 1;
  return l;
}

i32 text_length(const Window& w) {
  return w.text_len < static_cast<u32>(kDocTextCap) ? static_cast<i32>(w.text_len) : kDocTextCap - 1;
}

}  // namespace

bool in_textedit_text_area(const Window& w, i32 cx, i32 cy) {
  return cx > w.x + kGutter && cx < w.x + w.w - 1 && cy >= w.y + kContentTop && cy < w.y + w.h - kStatusBar;
}

i32 textedit_position_at(const Window& w, i32 cx, i32 cy) {
  i32 lh = w.te_line_h;
  if (lh < kLineHMin) lh = kLineHMin;
  if (lh > kLineHMax) lh = kLineHMax;
  const i32 scroll = w.te_scroll < static_cast<u32>(kDocTextCap) ? static_cast<i32>(w.te_scroll) : kDocTextCap;
  const i32 line = (cy - (w.y + kContentTop)) / lh + scroll;
  const i32 length = text_length(w);
  const Lines lines = line_starts_of(w.text, length);
  if (line < 0 || line >= lines.count) return -1;
  const i32 dx = cx - (w.x + kTextLeft);
  const i32 column = dx > -kGlyph ? dx / kGlyph : 0;
  i32 end = lines.start[line];
  while (end < length && w.text[end] != '\n') ++end;
  const i32 pos = lines.start[line] + column;
  return pos < end ? pos : end;
}

}  // namespace tavlin::dispatch
