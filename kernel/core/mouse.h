// The PS/2 mouse: 3-byte packets turned into an accelerated pointer position,
// button state and pending click events, written only by the interrupt.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

extern u8 mouse_cycle;
extern u8 mouse_packet[3];
extern i32 mouse_vel_x, mouse_vel_y;
extern i32 mouse_x, mouse_y;
extern u8 mouse_buttons;
extern u8 pending_click_event;
extern i32 click_event_x, click_event_y;
extern u8 pending_rclick_event;
extern i32 rclick_event_x, rclick_event_y;

constexpr u8 kMouseLeft = 1;
constexpr u8 kMouseRight = 2;
constexpr u8 kMouseMiddle = 4;

// kind 0: wait for output-buffer full; kind 1: wait for input-buffer empty.
void mouse_wait(u32 kind);
void mouse_init();
void isr_mouse();
// One byte of the packet stream, as the interrupt handles it.
void mouse_handle_byte(u8 b);

}  // namespace tavlin
