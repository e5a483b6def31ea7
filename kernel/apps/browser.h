// The web browser's one state record, shared by every browser window, the
// HTML-to-text conversion that fills its page text and the word wrap that
// lays that text out in lines.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kBrowserUrlCap = 128;
constexpr u32 kBrowserTextCap = 8192;
constexpr u32 kBrowserStatusCap = 64;
constexpr u32 kBrowserHistory = 32;
constexpr u32 kBrowserMaxLines = 512;

// Where the Home button goes.
constexpr const char* kBrowserHomeUrl = "http://example.com/";

struct BrowserState {
  char url[kBrowserUrlCap];
  char url_bar[kBrowserUrlCap];
  u32 url_bar_focused;
  u32 url_bar_cursor;
  char text[kBrowserTextCap];
  u32 text_len;
  u32 scroll;  // first visible wrapped line
  u32 loading;
  u32 error;
  char status[kBrowserStatusCap];
  char history[kBrowserHistory][kBrowserUrlCap];
  u32 history_count;
  u32 history_index;
  u32 dragging;     // the scrollbar thumb is being dragged
  i32 drag_offset;  // pointer offset inside the thumb when the drag began
};
static_assert(__builtin_offsetof(BrowserState, text) == 264);
static_assert(__builtin_offsetof(BrowserState, status) == 8472);
static_assert(__builtin_offsetof(BrowserState, history_count) == 12632);
static_assert(__builtin_offsetof(BrowserState, drag_offset) == 12644);
static_assert(sizeof(BrowserState) == 12648);

extern BrowserState browser_state;
extern u32 line_starts[kBrowserMaxLines];

// Turns `length` bytes of HTML (null only with length 0) into the page
// text: tags dropped, block tags as line breaks, runs of white space as one
// space, script and style content removed, five entities decoded; cut at
// 8191 characters.
void browser_html_to_text(const u8* body, u32 length);

// Wraps the first `length` characters of the page text at `columns`,
// filling starts with each line's offset; returns the line count (at least
// 1, at most 512).
i32 browser_wrap_lines(u32 length, i32 columns, u32* starts);

}  // namespace tavlin
