// Shared set-up for the dispatchers' scenario tests: the window manager's
// desktop with the input globals cleared, and helpers that leave the input
// state exactly as the mouse and keyboard interrupts would between passes.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kernel/apps/browser.h"
#include "kernel/apps/clock.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/menus.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {

// The dock on a 1024 x 768 screen with its seven built-in tiles: slot s
// answers from x = 220 + 70 s to 291 + 70 s and y = 690 to 765; the trash
// from x = 706 to 777 and y = 685 to 760.
constexpr i32 kDockRow = 730;
constexpr i32 dock_slot_centre(i32 slot) { return 255 + 70 * slot; }
constexpr i32 kTrashX = 740, kTrashY = 720;

// A press at (x, y) and the value it should leave, for tables of presses.
struct Tap {
  i32 x, y;
  i32 after;
};

class DispatchTest : public WmTest {
 protected:
  void SetUp() override {
    WmTest::SetUp();
    dispatch_reset();
    keyboard_reset();
    std::memset(key_states, 0, sizeof key_states);
    kbd_head = kbd_tail = 0;
    key_shift = mouse_buttons = pending_click_event = pending_rclick_event = pending_f2_event = 0;
    move_to(600, 400);
    timezone_offset_hours = 0;
    std::memset(&browser_state, 0, sizeof browser_state);
    image_cache_init();
  }

 public:
  // One main-loop pass of input handling, then the next tick.
  static void pass() {
    handle_mouse_logic();
    handle_keyboard_logic();
    win_end_finished_animations();
    advance(1);
  }

  static void move_to(i32 x, i32 y) {
    mouse_x = x;
    mouse_y = y;
  }

  // The left button goes down at (x, y).
  static void press(i32 x, i32 y) {
    move_to(x, y);
    mouse_buttons = static_cast<u8>(mouse_buttons | kMouseLeft);
    pending_click_event = 1;
    click_event_x = x;
    click_event_y = y;
  }

  static void right_press(i32 x, i32 y) {
    move_to(x, y);
    mouse_buttons = static_cast<u8>(mouse_buttons | kMouseRight);
    pending_rclick_event = 1;
    rclick_event_x = x;
    rclick_event_y = y;
  }

  static void release() { mouse_buttons = 0; }

  // One input event, then one pass.
  static void press_pass(i32 x, i32 y) {
    press(x, y);
    pass();
  }
  static void move_pass(i32 x, i32 y) {
    move_to(x, y);
    pass();
  }
  static void release_pass() {
    release();
    pass();
  }

  static void click(i32 x, i32 y) {
    press_pass(x, y);
    release_pass();
  }

  // A click far enough after the last one never to make a double click.
  static void tap(i32 x, i32 y) {
    advance(100);
    click(x, y);
  }

  static void drag(i32 x0, i32 y0, i32 x1, i32 y1) {
    press_pass(x0, y0);
    move_pass(x1, y1);
    release_pass();
  }

  // Characters as the keyboard interrupt queues them.
  static void type(const std::string& text) {
    for (char c : text) {
      kbd_buf[kbd_head] = static_cast<u8>(c);
      kbd_head = (kbd_head + 1) % kKbdBufSize;
    }
  }

  static DesktopIcon& make_icon(i32 slot, i32 node, i32 x, i32 y) {
    DesktopIcon& icon = desktop_icons[slot] = DesktopIcon{1, {}, 0, x, y, node, 0, {}, 0, 0, 0};
    std::strncpy(icon.label, fs_nodes[node].name, sizeof icon.label - 1);
    return icon;
  }
};

}  // namespace tavlin::test
