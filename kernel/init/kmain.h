// Start-up and the main loop.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

extern u32 refresh_counter;

// The one-time start-up sequence; returns when the desktop is ready.
void kernel_startup(const void* multiboot_info);
// One pass of the main loop, without the wait for the next tick.
void main_loop_pass();
// Waits (halting) until the timer has moved on by at least one tick.
void wait_for_next_tick();

}  // namespace tavlin

extern "C" [[noreturn]] void kmain(tavlin::u32 magic, const void* multiboot_info);
