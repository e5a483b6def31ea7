// Mouse and keyboard dispatch: the main loop's consumers of input events,
// and the pointer state the shell keeps between passes.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct DesktopIcon;

// Presses less than this many ticks apart make a double click.
constexpr u32 kDoubleClickTicks = 30;

extern i32 menu_item_hover;
// The desktop icon of the previous single click and its tick.
extern DesktopIcon* last_click_icon;
extern u32 last_click_tick;
extern u32 trash_last_click_tick;
// 1 while Ctrl+S was already held on the previous pass.
extern u8 prev_ctrl_s;

// Forgets hover, double-click memory and the save chord (start-up, tests).
void dispatch_reset();

void handle_mouse_logic();
void handle_keyboard_logic();

}  // namespace tavlin
