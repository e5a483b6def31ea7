// TextEdit's entry points: typed characters and the arrow keys of the
// focused TextEdit window, saving into its document, and the clipboard all
// TextEdit windows share.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

constexpr u32 kTextEditLongest = 511;  // characters in a document
constexpr u32 kTextEditClipboardCap = 4096;
constexpr i32 kTextEditLineHMin = 8, kTextEditLineHMax = 24, kTextEditLineHDefault = 12;

extern char textedit_clipboard[kTextEditClipboardCap];
extern u32 textedit_clipboard_len;

// One typed character; Ctrl shortcuts are read from the key-state table.
void textedit_key(Window& win, u8 c);
// The arrow keys, polled once per pass from the key-state table; each press
// acts once.
void textedit_poll_arrows(Window& win);
// Writes the text into the window's document node and clears the unsaved
// mark. A window without a live document (untitled, or its file removed)
// saves nothing: returns 0.
u32 textedit_save(Window& win);
// Forgets which arrow keys were held (start-up, tests).
void textedit_reset_keys();

// The line height in use: the window's, clamped to 8..24.
i32 textedit_line_height(const Window& win);

}  // namespace tavlin
