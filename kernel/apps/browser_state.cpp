// The browser's state record and its word wrap: lines break at a newline,
// or at the last space before the width, or mid-word when a word fills a
// whole line.
#include "kernel/apps/browser.h"

namespace tavlin {

BrowserState browser_state;
u32 line_starts[kBrowserMaxLines];

i32 browser_wrap_lines(u32 length, i32 columns, u32* starts) {
  if (length > kBrowserTextCap - 1) length = kBrowserTextCap - 1;
  if (columns < 1) columns = 1;
  const char* text = browser_state.text;
  i32 lines = 1;
  starts[0] = 0;
  u32 start = 0;
  i32 column = 0;
  i32 last_space = -1;  // in the current line
  for (u32 i = 0; i < length && lines < static_cast<i32>(kBrowserMaxLines); ++i) {
    if (text[i] == '\n') {
      start = i + 1;
    } else {
      if (text[i] == ' ') last_space = static_cast<i32>(i);
      // A full line breaks only when more text follows it on the same line.
      if (++column < columns || i + 1 == length || text[i + 1] == '\n') continue;
      start = last_space > static_cast<i32>(start) ? static_cast<u32>(last_space) + 1 : i + 1;
    }
    starts[lines++] = start;
    column = static_cast<i32>(i + 1 - start);
    last_space = -1;
  }
  return lines;
}

}  // namespace tavlin
