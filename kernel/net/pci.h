// PCI configuration space through mechanism 1 (ports 0xCF8/0xCFC): reads,
// the command-register write, the diagnostic bus listing and device search.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kPciBuses = 256;
constexpr u32 kPciSlots = 32;

// Configuration space offsets.
constexpr u8 kPciVendorDevice = 0x00;
constexpr u8 kPciCommand = 0x04;
constexpr u8 kPciClass = 0x08;
constexpr u8 kPciHeaderType = 0x0C;  // bits 16..23 of this word
constexpr u8 kPciBar0 = 0x10;
constexpr u8 kPciBar1 = 0x14;

// Command register bits.
constexpr u16 kPciCommandIo = 1u << 0;
constexpr u16 kPciCommandMemory = 1u << 1;
constexpr u16 kPciCommandBusMaster = 1u << 2;

struct PciAddress {
  u32 bus, slot, function;
};

u32 pci_config_read32(u32 bus, u32 slot, u32 function, u8 offset);
// Replaces the low 16 bits (the command register) of the word at offset 4.
void pci_config_write16(u32 bus, u32 slot, u32 function, u16 value);
// ORs bits into a function's command register.
void pci_enable(const PciAddress& where, u16 bits);

// Logs every function-0 device on the bus.
void pci_list_devices();

// Finds the first function-0 device with this vendor whose device id is in
// `devices` (count entries); 1 and its address when found.
u32 pci_find_function0(u16 vendor, const u16* devices, u32 count, PciAddress& out);

}  // namespace tavlin
