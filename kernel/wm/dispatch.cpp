// Stand-in dispatch: events are consumed and dropped.
#include "kernel/wm/dispatch.h"

#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"

namespace tavlin {

void handle_mouse_logic() {
  pending_click_event = 0;
  pending_rclick_event = 0;
}

void handle_keyboard_logic() {
  u8 c;
  while (kbd_pop(&c)) {
  }
  pending_f2_event = 0;
}

}  // namespace tavlin
