// The input, time and log calls: pointer and keys, the tick count, sleep
// (which shows what the program drew), serial output; and Ctrl+C, which
// stops a program wherever it is.
#include "kernel/arch/hw.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/script/vm_parts.h"

namespace tavlin::vm {
namespace {

void put_u32(u8* at, u32 value) {
  for (u32 i = 0; i < 4; ++i) at[i] = static_cast<u8>(value >> (8 * i));  // memory is little-endian
}

}  // namespace

bool interrupt_requested() {
  return *static_cast<volatile u8*>(&key_states[scancode::kCtrl]) &&
         *static_cast<volatile u8*>(&key_states[scancode::kC]);
}

// The keys still queued were typed at the program (the chord's own "c"
// among them); they must not spill into the Terminal that started it.
void stop_interrupted(VmState& vm) {
  vm.error = kVmInterrupted;
  vm.running = 0;
  u8 discarded;
  while (kbd_pop(&discarded)) {
  }
}

// record: x, y, left, right, middle as five 32-bit values.
i32 sys_mouse_get(Call& c) {
  u8* record = write_span(c.vm, address_arg(c, 0), 20);
  if (!record) return 0;
  const u8 buttons = mouse_buttons;
  const u32 values[5] = {static_cast<u32>(mouse_x), static_cast<u32>(mouse_y), (buttons & kMouseLeft) ? 1u : 0u,
                         (buttons & kMouseRight) ? 1u : 0u, (buttons & kMouseMiddle) ? 1u : 0u};
  for (u32 i = 0; i < 5; ++i) put_u32(record + 4 * i, values[i]);
  return 1;
}

// record: the key's byte at 0 and 1 at byte 4. With no key waiting the
// record's address stays on the stack under the 0.
i32 sys_key_get(Call& c) {
  u8* record = write_span(c.vm, address_arg(c, 0), 8);
  if (!record) return 0;
  u8 key;
  if (!kbd_pop(&key)) {
    c.keep_first_arg = 1;
    return 0;
  }
  record[0] = key;
  put_u32(record + 4, 1);
  return 1;
}

i32 sys_ticks(Call&) { return static_cast<i32>(ticks_now()); }

// Shows the back buffer, then waits n ticks (none for n <= 0), looking for
// Ctrl+C at every tick.
i32 sys_sleep(Call& c) {
  present();
  const u32 start = ticks_now();
  const u32 wait = c.arg[0] > 0 ? static_cast<u32>(c.arg[0]) : 0;
  while (ticks_now() - start < wait) {
    if (interrupt_requested()) {
      stop_interrupted(c.vm);
      return 0;
    }
    hw::halt();
  }
  return 1;
}

i32 sys_print(Call& c) {
  const char* text = text_at(c.vm, address_arg(c, 0));
  if (!text) return 0;
  serial_puts(text);
  return 1;
}

i32 sys_print_num(Call& c) {
  const i32 n = c.arg[0];
  if (n < 0) serial_puts("-");
  serial_dec32(n < 0 ? 0u - static_cast<u32>(n) : static_cast<u32>(n));
  return 1;
}

i32 sys_print_hex(Call& c) {
  serial_hex32(static_cast<u32>(c.arg[0]));
  return 1;
}

}  // namespace tavlin::vm
