// Paints a Terminal window's content: the buffered lines in green and the
// prompt with the input line below them. The view scrolls so the prompt
// always shows, even with all fourteen lines in use or in a small window.
#include "kernel/apps/apps.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kBackground = 0x151516;
constexpr u32 kLineColour = 0x35E07A;
constexpr u32 kPromptColour = 0xFFFFFF;
constexpr i32 kMargin = 8;
constexpr i32 kRowHeight = 14;
constexpr i32 kGlyph = 8;
constexpr u32 kPromptCap = kTermInputCap + 3;  // "> ", the input, "_"

// Whole rows and characters that fit inside the area, margins included.
i32 rows_that_fit(i32 h) { return h < 2 * kMargin ? 0 : (h - 2 * kMargin) / kRowHeight + 1; }
i32 chars_that_fit(i32 w) { return w < kMargin ? 0 : (w - kMargin) / kGlyph; }

// Text stays inside its window rather than running over the neighbours.
void draw_cut(i32 x, i32 y, const char* text, u32 colour, i32 max_chars) {
  char shown[kPromptCap];
  const u32 cap = static_cast<u32>(max_chars) + 1;
  str_copy(shown, text, cap < kPromptCap ? cap : kPromptCap);
  draw_text(x, y, shown, colour, 1);
}

}  // namespace

void draw_app_terminal(Window* win, i32 x, i32 y, i32 w, i32 h) {
  if (!win || w < 1 || h < 1) return;
  fill_rect(x, y, w, h, kBackground);
  const i32 rows = rows_that_fit(h), columns = chars_that_fit(w);
  if (rows == 0 || columns == 0) return;

  const u32 used = win->term_line_count;
  const i32 count = used < static_cast<u32>(kTermLines) ? static_cast<i32>(used) : kTermLines;
  // The prompt is the row after the last line; scroll the lines up by as
  // many rows as it would otherwise fall below the area.
  const i32 first = count + 1 > rows ? count + 1 - rows : 0;
  for (i32 i = first; i < count; ++i)
    draw_cut(x + kMargin, y + kMargin + kRowHeight * (i - first), win->term_lines[i], kLineColour, columns);

  char prompt[kPromptCap];
  str_copy(prompt, "> ", sizeof prompt);
  char input[kTermInputCap];
  str_copy(input, win->term_input, sizeof input);
  str_cat(prompt, input);
  str_cat(prompt, "_");
  draw_cut(x + kMargin, y + kMargin + kRowHeight * (count - first), prompt, kPromptColour, columns);
}

}  // namespace tavlin
