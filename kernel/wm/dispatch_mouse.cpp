// The mouse dispatcher's pass: hover feedback, then the pending right and
// left presses offered to each target in order of precedence, then the
// held-button or release updates. Also the pointer state kept between passes.
#include "kernel/apps/store.h"
#include "kernel/apps/textedit.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin {

i32 menu_item_hover = -1;
DesktopIcon* last_click_icon;
u32 last_click_tick;
u32 trash_last_click_tick;
u8 prev_ctrl_s;

namespace {

constexpr i32 kDockHoverZone = 95;  // rows above the screen's bottom edge

}  // namespace

void dispatch_reset() {
  menu_item_hover = -1;
  last_click_icon = nullptr;
  last_click_tick = 0;
  trash_last_click_tick = 0;
  prev_ctrl_s = 0;
  textedit_reset_keys();
}

namespace dispatch {

bool ctrl_held() { return key_states[scancode::kCtrl] != 0; }
bool shift_held() { return key_shift != 0; }

void update_hover() {
  dock_hover = -1;
  if (mouse_y >= static_cast<i32>(fb_height) - kDockHoverZone) {
    dock_hover = dock_hit_test(mouse_x, mouse_y);
    // The tooltip's delay counts from the moment the hovered tile changed.
    if (dock_hover != dock_hover_prev) {
      dock_hover_prev = dock_hover;
      dock_hover_start_tick = ticks_now();
    }
    dock_trash_hover = static_cast<i32>(trash_hit_test(mouse_x, mouse_y));
  } else {
    if (dock_hover_prev != -1) {
      dock_hover_prev = -1;
      dock_hover_start_tick = ticks_now();
    }
    dock_trash_hover = 0;
  }
  menu_item_hover = menu_dropdown_hit_test(mouse_x, mouse_y);
}

}  // namespace dispatch

void handle_mouse_logic() {
  using namespace dispatch;
  update_hover();
  // The upload dialog is modal for left presses; a right press pending in
  // the same pass waits for the next one.
  if (pending_click_event && upload_dialog.active) {
    const i32 cx = click_event_x, cy = click_event_y;
    pending_click_event = 0;
    press_upload_dialog(cx, cy);
    return;
  }
  if (pending_rclick_event) {
    const i32 rx = rclick_event_x, ry = rclick_event_y;
    pending_rclick_event = 0;
    if (press_right(rx, ry)) return;
  }
  if (pending_click_event) {
    const i32 cx = click_event_x, cy = click_event_y;
    pending_click_event = 0;
    if (press_modal_layers(cx, cy) || press_hit_priority(cx, cy)) return;
  }
  if (mouse_buttons)
    update_held();
  else
    update_released();
}

}  // namespace tavlin
