// The PS/2 keyboard: a ring of translated characters and a key-state table,
// written only by the interrupt handler.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kKbdBufSize = 64;

extern u8 key_states[128];
extern u8 key_shift;
extern u8 kbd_buf[kKbdBufSize];
extern u32 kbd_head;
extern u32 kbd_tail;
extern u8 pending_f2_event;

extern const u8 sc_ascii[128];
extern const u8 sc_ascii_shift[128];

// Make codes the rest of the system looks up in key_states.
namespace scancode {
constexpr u8 kEscape = 0x01;
constexpr u8 kBackspace = 0x0E;
constexpr u8 kEnter = 0x1C;
constexpr u8 kCtrl = 0x1D;
constexpr u8 kLeftShift = 0x2A;
constexpr u8 kRightShift = 0x36;
constexpr u8 kC = 0x2E;
constexpr u8 kR = 0x13;
constexpr u8 kS = 0x1F;
constexpr u8 kF2 = 0x3C;
constexpr u8 kUp = 0x48;
constexpr u8 kLeft = 0x4B;
constexpr u8 kRight = 0x4D;
constexpr u8 kDown = 0x50;
constexpr u8 kExtendedPrefix = 0xE0;
}  // namespace scancode

// Takes the oldest character; 0 when the ring is empty.
u32 kbd_pop(u8* out);

void isr_keyboard();
// Handles one scancode byte as the interrupt does (without the port read and
// end-of-interrupt).
void keyboard_handle_scancode(u8 s);
// Forgets the chord and shift state (start-up and tests).
void keyboard_reset();

}  // namespace tavlin
