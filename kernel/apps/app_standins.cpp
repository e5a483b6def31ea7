// Stand-ins for the applications that have not landed: their windows open,
// animate and close, and their content area shows only its background. Each
// routine moves to its application's own file when that lands.
#include "kernel/apps/apps.h"

#include "kernel/core/kstring.h"
#include "kernel/wm/window.h"

namespace tavlin {

void draw_app_about(i32, i32) {}
void draw_app_clock(i32, i32, i32, i32) {}
void draw_app_terminal(Window*, i32, i32, i32, i32) {}
void draw_app_finder(Window*, i32, i32, i32, i32) {}
void draw_app_textedit(Window*, i32, i32, i32, i32) {}
void draw_app_imageview(Window*, i32, i32, i32, i32) {}
void draw_app_trash(i32, i32, i32, i32) {}
void draw_app_mediaplayer(Window*, i32, i32, i32, i32) {}
void draw_app_zivirerev(StoreState*, i32, i32, i32, i32) {}

void browser_app(Window* win, i32, i32, i32, i32, i32 event, i32, i32) {
  if (event != 0 || !win) return;
  str_copy(win->title, "Tavlin Web", kWindowTitleCap);
  win->w = 760;
  win->h = 520;
}

void term_println(Window* win, const char* text) {
  if (win->term_line_count >= static_cast<u32>(kTermLines)) {
    for (i32 i = 1; i < kTermLines; ++i) memcpy(win->term_lines[i - 1], win->term_lines[i], kTermLineCap);
    win->term_line_count = kTermLines - 1;
    win->term_lines[kTermLines - 1][0] = 0;
  }
  str_copy(win->term_lines[win->term_line_count], text, kTermLineCap);
  win->term_line_count = win->term_line_count + 1;
}

void run_terminal_command(Window* win) {
  win->term_input[0] = 0;
  win->term_input_len = 0;
}

}  // namespace tavlin
