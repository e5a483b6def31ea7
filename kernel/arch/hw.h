// The one door to the hardware: port I/O, memory-mapped registers and the
// few processor instructions the kernel needs. The image links the i386
// version; the host build links a fake that records writes and plays back
// scripted reads, so everything above this layer is plain, testable code.
#pragma once
#include "kernel/core/types.h"

namespace tavlin::hw {

u8 inb(u16 port);
u16 inw(u16 port);
u32 inl(u16 port);
void outb(u16 port, u8 value);
void outw(u16 port, u16 value);
void outl(u16 port, u32 value);

// Short delay between 8259 programming steps: a write to the unused POST port.
inline void io_wait() { outb(0x80, 0); }

u32 mmio_read32(uptr address);
void mmio_write32(uptr address, u32 value);
u16 mmio_read16(uptr address);
void mmio_write16(uptr address, u16 value);
u8 mmio_read8(uptr address);
void mmio_write8(uptr address, u8 value);

// The address a bus-master device must be given for a buffer of ours.
// Memory is identity-mapped, so on the machine this is the pointer itself.
u32 phys_addr(const void* p);

void cli();
void sti();
// Sleep until the next interrupt (used with interrupts enabled).
void halt();
// Stop for good: interrupts off, halt in a loop.
[[noreturn]] void halt_forever();
// Tell the compiler memory may have changed behind its back (interrupt data).
inline void barrier() { asm volatile("" ::: "memory"); }

// Descriptor-table loads. load_gdt also reloads every segment register.
void load_gdt(const void* pointer);
void load_idt(const void* pointer);

// Entry points of the interrupt stubs, by vector (0..31 exceptions, 32 timer,
// 33 keyboard, 44 mouse, 39/47 spurious, others unused lines).
uptr isr_stub_address(u32 vector);

}  // namespace tavlin::hw
