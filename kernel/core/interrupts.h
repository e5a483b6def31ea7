// Interrupt set-up and the single dispatcher every stub calls.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kExceptionCount = 32;
constexpr u32 kIrqBase = 32;  // master 8259 lines 0..7 -> vectors 32..39
constexpr u32 kIrqCount = 16; // slave lines 8..15 -> vectors 40..47
constexpr u32 kVectorGp = 13;
constexpr u32 kVectorTimer = kIrqBase + 0;
constexpr u32 kVectorKeyboard = kIrqBase + 1;
constexpr u32 kVectorMouse = kIrqBase + 12;

// What the common stub pushes, lowest address first.
struct InterruptFrame {
  u32 edi, esi, ebp, esp_at_pusha, ebx, edx, ecx, eax;
  u32 vector;
  u32 error_code;
  u32 eip, cs, eflags;
};

// Descriptor tables, interrupt controllers and timer, then interrupts on.
void interrupts_init();
void pic_remap();
void pit_init();

// Exception handlers: show the crash screen, never return.
[[noreturn]] void isr_fault_gp(const InterruptFrame& frame);
[[noreturn]] void isr_fault_generic(const InterruptFrame& frame);
void isr_timer();

// Lines without a handler (counted for diagnostics).
extern u32 unhandled_irq_count;

}  // namespace tavlin

// Called by the assembly stubs with the saved frame.
extern "C" void tavlin_interrupt_dispatch(tavlin::InterruptFrame* frame);
