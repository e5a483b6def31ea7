// TextEdit's keyboard entry points, called for the focused TextEdit window.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

// One typed character; Ctrl shortcuts are read from the key-state table.
void textedit_key(Window& win, u8 c);
// The arrow keys, polled once per pass from the key-state table.
void textedit_poll_arrows(Window& win);

}  // namespace tavlin
