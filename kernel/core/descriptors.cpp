// Flat segments and the interrupt gates: exceptions, the timer, keyboard and
// mouse, and every other 8259 line (so a stray IRQ finds a present gate).
#include "kernel/core/descriptors.h"

#include "kernel/arch/hw.h"
#include "kernel/core/interrupts.h"

namespace tavlin {

u64 gdt[3];
DescriptorPointer gdtp;
IdtGate idt[256];
DescriptorPointer idtp;

namespace {

void set_gate(u32 vector, uptr handler) {
  IdtGate& g = idt[vector];
  g.offset_low = static_cast<u16>(handler & 0xFFFF);
  g.offset_high = static_cast<u16>((handler >> 16) & 0xFFFF);
  g.selector = kKernelCodeSelector;
  g.zero = 0;
  g.type_attr = kInterruptGate;
}

}  // namespace

void gdt_install() {
  gdt[0] = 0;
  gdt[1] = 0x00CF9A000000FFFFull;  // code: base 0, 4 GiB, execute/read
  gdt[2] = 0x00CF92000000FFFFull;  // data: base 0, 4 GiB, read/write
  gdtp.limit = sizeof(gdt) - 1;
  gdtp.base = static_cast<u32>(reinterpret_cast<uptr>(gdt));
  hw::load_gdt(&gdtp);
}

void idt_install() {
  for (auto& g : idt) g = IdtGate{};
  for (u32 v = 0; v < kExceptionCount; ++v) set_gate(v, hw::isr_stub_address(v));
  for (u32 v = kIrqBase; v < kIrqBase + kIrqCount; ++v) set_gate(v, hw::isr_stub_address(v));
  idtp.limit = sizeof(idt) - 1;
  idtp.base = static_cast<u32>(reinterpret_cast<uptr>(idt));
  hw::load_idt(&idtp);
}

}  // namespace tavlin
