// Mouse and keyboard dispatch: the main loop's consumers of input events.
#pragma once

namespace tavlin {

void handle_mouse_logic();
void handle_keyboard_logic();

}  // namespace tavlin
