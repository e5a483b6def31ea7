// The i386 hardware layer: the only place with inline assembly.
#include "kernel/arch/hw.h"

extern "C" const tavlin::u32 isr_stub_table[48];

namespace tavlin::hw {

u8 inb(u16 port) {
  u8 v;
  asm volatile("inb %1, %0" : "=a"(v) : "Nd"(port));
  return v;
}
u16 inw(u16 port) {
  u16 v;
  asm volatile("inw %1, %0" : "=a"(v) : "Nd"(port));
  return v;
}
u32 inl(u16 port) {
  u32 v;
  asm volatile("inl %1, %0" : "=a"(v) : "Nd"(port));
  return v;
}
void outb(u16 port, u8 value) { asm volatile("outb %0, %1" : : "a"(value), "Nd"(port)); }
void outw(u16 port, u16 value) { asm volatile("outw %0, %1" : : "a"(value), "Nd"(port)); }
void outl(u16 port, u32 value) { asm volatile("outl %0, %1" : : "a"(value), "Nd"(port)); }

u32 mmio_read32(uptr address) { return *reinterpret_cast<volatile u32*>(address); }
void mmio_write32(uptr address, u32 value) { *reinterpret_cast<volatile u32*>(address) = value; }
u16 mmio_read16(uptr address) { return *reinterpret_cast<volatile u16*>(address); }
void mmio_write16(uptr address, u16 value) { *reinterpret_cast<volatile u16*>(address) = value; }
u8 mmio_read8(uptr address) { return *reinterpret_cast<volatile u8*>(address); }
void mmio_write8(uptr address, u8 value) { *reinterpret_cast<volatile u8*>(address) = value; }

u32 phys_addr(const void* p) { return static_cast<u32>(reinterpret_cast<uptr>(p)); }

void cli() { asm volatile("cli" ::: "memory"); }
void sti() { asm volatile("sti" ::: "memory"); }
void halt() { asm volatile("hlt" ::: "memory"); }

void halt_forever() {
  for (;;) asm volatile("cli; hlt");
}

void load_gdt(const void* pointer) {
  asm volatile(
      "lgdt (%0)\n\t"
      "mov $0x10, %%ax\n\t"
      "mov %%ax, %%ds\n\t"
      "mov %%ax, %%es\n\t"
      "mov %%ax, %%fs\n\t"
      "mov %%ax, %%gs\n\t"
      "mov %%ax, %%ss\n\t"
      "ljmp $0x08, $1f\n"
      "1:"
      :
      : "r"(pointer)
      : "eax", "memory");
}

void load_idt(const void* pointer) { asm volatile("lidt (%0)" : : "r"(pointer) : "memory"); }

uptr isr_stub_address(u32 vector) { return vector < 48 ? isr_stub_table[vector] : 0; }

}  // namespace tavlin::hw
