// The flat GDT and the IDT with its installed gates.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct [[gnu::packed]] DescriptorPointer {
  u16 limit;
  u32 base;
};
static_assert(sizeof(DescriptorPointer) == 6);

struct IdtGate {
  u16 offset_low;
  u16 selector;
  u8 zero;
  u8 type_attr;
  u16 offset_high;
};
static_assert(sizeof(IdtGate) == 8);

constexpr u16 kKernelCodeSelector = 0x08;
constexpr u16 kKernelDataSelector = 0x10;
constexpr u8 kInterruptGate = 0x8E;  // present, ring 0, 32-bit interrupt gate

extern u64 gdt[3];
extern DescriptorPointer gdtp;
extern IdtGate idt[256];
extern DescriptorPointer idtp;

void gdt_install();
void idt_install();

}  // namespace tavlin
