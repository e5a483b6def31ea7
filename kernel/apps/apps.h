// The applications' drawing routines, one per application kind, called by
// frame composition with the window's content rectangle, and the few
// application entry points the launcher uses.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;
struct StoreState;

void draw_app_about(i32 x, i32 y);
void draw_app_clock(i32 x, i32 y, i32 w, i32 h);
void draw_app_terminal(Window* win, i32 x, i32 y, i32 w, i32 h);
void draw_app_finder(Window* win, i32 x, i32 y, i32 w, i32 h);
void draw_app_textedit(Window* win, i32 x, i32 y, i32 w, i32 h);
void draw_app_imageview(Window* win, i32 x, i32 y, i32 w, i32 h);
void draw_app_trash(i32 x, i32 y, i32 w, i32 h);
void draw_app_mediaplayer(Window* win, i32 x, i32 y, i32 w, i32 h);
void draw_app_zivirerev(StoreState* state, i32 x, i32 y, i32 w, i32 h);

// The browser's single entry point; event 0 opens, 1 draws, 2 clicks, 3 keys.
void browser_app(Window* win, i32 x, i32 y, i32 w, i32 h, i32 event, i32 a, i32 b);

// "Uptime: Hh Mm Ss" for a tick count; hours run on past a day. out holds
// kUptimeTextCap characters.
constexpr u32 kUptimeTextCap = 32;
void uptime_text(u32 ticks, char* out);

// Appends one line of terminal output, scrolling when all 14 are in use.
void term_println(Window* win, const char* text);
// Runs the command typed into a Terminal window's input line (Enter).
void run_terminal_command(Window* win);

}  // namespace tavlin
