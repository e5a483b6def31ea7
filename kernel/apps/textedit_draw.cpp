// draw_app_textedit: the line-number gutter, the text with its selection
// and caret, and the status bar, scrolled so the caret's line is visible.
#include "kernel/apps/apps.h"
#include "kernel/apps/textedit.h"
#include "kernel/apps/textedit_buffer.h"
#include "kernel/apps/textedit_lines.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kStatusBar = 20;
constexpr i32 kGutter = 36;
constexpr i32 kNumberGap = 6;  // between a line number and the gutter's edge
constexpr i32 kTextLeft = 42;
constexpr i32 kGlyph = 8;
constexpr u32 kGutterColour = 0xE8E8E8, kRuleColour = 0xC7C7C7, kPaper = 0xFFFFFF;
constexpr u32 kNumberColour = 0x999999, kInk = 0x1C1C1C, kSelection = 0x3390FF;
constexpr u32 kStatusColour = 0xEFEFEF, kStatusInk = 0x555555, kCaret = 0x000000;

void first_draw_defaults(Window& w) {
  w.te_line_h = kTextEditLineHDefault;
  w.te_scroll = 0;
  w.te_sel_anchor = w.te_sel_end = 0;
  w.te_sel_active = w.te_mouse_select = w.te_modified = 0;
  w.te_undo_len = 0;
}

// The smallest move that brings the caret's line into view.
void scroll_to_caret(Window& w, i32 caret_line, i32 visible, i32 line_count) {
  i32 scroll = static_cast<i32>(w.te_scroll < static_cast<u32>(kTextLinesMax) ? w.te_scroll : kTextLinesMax);
  if (caret_line < scroll) scroll = caret_line;
  if (caret_line >= scroll + visible) scroll = caret_line - visible + 1;
  if (scroll > line_count - 1) scroll = line_count - 1;
  w.te_scroll = static_cast<u32>(scroll < 0 ? 0 : scroll);
}

void draw_char(i32 x, i32 y, char c, u32 colour) {
  const char s[2] = {c, 0};
  draw_text(x, y, s, colour, 1);
}

void draw_line_number(i32 right, i32 y, i32 number) {
  char digits[12];
  int_to_str(number, digits, 1);
  draw_text(right - kGlyph * static_cast<i32>(strlen(digits)), y, digits, kNumberColour, 1);
}

struct LineView {
  i32 x, y, right;  // the text's left edge, the row's top, the area's right edge
  i32 line_h;
};

// The characters of one line; those that would cross the right edge are
// left out rather than drawn over the window's frame.
void draw_line_text(const Window& w, const LineView& v, i32 from, i32 to, textedit::Range sel) {
  const i32 glyph_y = v.y + (v.line_h - kGlyph) / 2;
  for (i32 i = from; i < to; ++i) {
    const i32 cx = v.x + kGlyph * (i - from);
    if (cx + kGlyph > v.right) break;
    const bool selected = i >= sel.from && i < sel.to;
    if (selected) fill_rect(cx, v.y, kGlyph, v.line_h, kSelection);
    draw_char(cx, glyph_y, w.text[i], selected ? kPaper : kInk);
  }
}

void draw_status(const Window& w, i32 x, i32 y, i32 width, i32 caret_line, i32 caret_column) {
  fill_rect(x, y, width, kStatusBar, kStatusColour);
  fill_rect(x, y, width, 1, kRuleColour);
  char line[96], number[12];
  str_copy(line, w.te_modified ? "* " : "  ", sizeof line);
  str_cat(line, "Ln ");
  int_to_str(caret_line + 1, number, 1);
  str_cat(line, number);
  str_cat(line, ", Col ");
  int_to_str(caret_column + 1, number, 1);
  str_cat(line, number);
  if (w.te_sel_active) {
    const textedit::Range r = textedit::selection(w);
    str_cat(line, " | Sel ");
    int_to_str(r.to - r.from, number, 1);
    str_cat(line, number);
    str_cat(line, " chars");
  }
  str_cat(line, " | Zoom ");
  int_to_str(textedit_line_height(w), number, 1);
  str_cat(line, number);
  str_cat(line, "px");
  draw_text(x + 8, y + 6, line, kStatusInk, 1);
}

}  // namespace

void draw_app_textedit(Window* win, i32 x, i32 y, i32 width, i32 height) {
  if (!win) return;
  Window& w = *win;
  if (w.te_line_h == 0) first_draw_defaults(w);
  textedit::normalise(w);
  const i32 line_h = textedit_line_height(w);
  const i32 area_h = height - kStatusBar;
  fill_rect(x, y, kGutter, area_h, kGutterColour);
  fill_rect(x + kGutter - 1, y, 1, area_h, kRuleColour);
  fill_rect(x + kGutter, y, width - kGutter, area_h, kPaper);

  TextLines lines;
  text_lines_split(w.text, static_cast<i32>(w.text_len), &lines);
  const i32 caret = static_cast<i32>(w.te_caret);
  const i32 caret_line = text_lines_find(lines, caret);
  const i32 caret_column = caret - lines.start[caret_line];
  const i32 visible = area_h / line_h > 1 ? area_h / line_h : 1;
  scroll_to_caret(w, caret_line, visible, lines.count);

  const textedit::Range sel = textedit::selection(w);
  const i32 first = static_cast<i32>(w.te_scroll);
  for (i32 line = first; line < lines.count && line < first + visible; ++line) {
    const LineView v{x + kTextLeft, y + (line - first) * line_h, x + width, line_h};
    draw_line_number(x + kGutter - kNumberGap, v.y + (line_h - kGlyph) / 2, line + 1);
    draw_line_text(w, v, lines.start[line], text_lines_end(lines, line), sel);
    const i32 caret_x = v.x + kGlyph * caret_column;
    if (line == caret_line && !w.te_mouse_select && caret_x < v.right) fill_rect(caret_x, v.y, 1, line_h, kCaret);
  }
  draw_status(w, x, y + height - kStatusBar, width, caret_line, caret_column);
}

}  // namespace tavlin
