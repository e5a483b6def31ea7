// TextEdit's click-to-caret: the text position under a point of its text
// area, used by a press and while the button is held to select.
#include "kernel/apps/textedit.h"
#include "kernel/apps/textedit_lines.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kGutter = 36;
constexpr i32 kTextLeft = 43;  // the first column of text, from the window's edge
constexpr i32 kGlyph = 8;
constexpr i32 kContentTop = 30;
constexpr i32 kStatusBar = 21;

i32 text_length(const Window& w) {
  return w.text_len < kTextEditLongest ? static_cast<i32>(w.text_len) : static_cast<i32>(kTextEditLongest);
}

}  // namespace

bool in_textedit_text_area(const Window& w, i32 cx, i32 cy) {
  return cx > w.x + kGutter && cx < w.x + w.w - 1 && cy >= w.y + kContentTop && cy < w.y + w.h - kStatusBar;
}

i32 textedit_position_at(const Window& w, i32 cx, i32 cy) {
  const i32 lh = textedit_line_height(w);
  const i32 scroll = w.te_scroll < static_cast<u32>(kDocTextCap) ? static_cast<i32>(w.te_scroll) : kDocTextCap;
  const i32 line = (cy - (w.y + kContentTop)) / lh + scroll;
  TextLines lines;
  text_lines_split(w.text, text_length(w), &lines);
  if (line < 0 || line >= lines.count) return -1;
  const i32 dx = cx - (w.x + kTextLeft);
  const i32 column = dx > -kGlyph ? dx / kGlyph : 0;
  const i32 end = text_lines_end(lines, line);
  const i32 pos = lines.start[line] + column;
  return pos < end ? pos : end;
}

}  // namespace tavlin::dispatch
