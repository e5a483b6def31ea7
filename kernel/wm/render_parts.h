// The steps of frame composition, each drawing one layer of the desktop.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

void draw_desktop_icons();
void draw_desktop_rubber_band();
// Every visible window, back to front, with its animation.
void draw_windows();
// One window's chrome and content in its current frame.
void draw_window_chrome(Window& win, bool focused);
void draw_upload_dialog();
void draw_pointer(i32 x, i32 y);

}  // namespace tavlin
