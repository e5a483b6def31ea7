// PCI configuration mechanism 1 and the diagnostic listing of the bus.
#include "kernel/net/pci.h"

#include "kernel/arch/hw.h"
#include "kernel/core/serial.h"

namespace tavlin {
namespace {

constexpr u16 kConfigAddress = 0xCF8;
constexpr u16 kConfigData = 0xCFC;
constexpr u32 kConfigEnable = 0x80000000;

u32 config_address(u32 bus, u32 slot, u32 function, u8 offset) {
  return kConfigEnable | (bus & 0xFF) << 16 | (slot & 0x1F) << 11 | (function & 7) << 8 |
         (offset & 0xFC);
}

}  // namespace

u32 pci_config_read32(u32 bus, u32 slot, u32 function, u8 offset) {
  hw::outl(kConfigAddress, config_address(bus, slot, function, offset));
  return hw::inl(kConfigData);
}

void pci_config_write16(u32 bus, u32 slot, u32 function, u16 value) {
  const u32 word = pci_config_read32(bus, slot, function, kPciCommand);
  hw::outl(kConfigAddress, config_address(bus, slot, function, kPciCommand));
  hw::outl(kConfigData, (word & 0xFFFF0000u) | value);
}

void pci_enable(const PciAddress& where, u16 bits) {
  const u32 word = pci_config_read32(where.bus, where.slot, where.function, kPciCommand);
  pci_config_write16(where.bus, where.slot, where.function, static_cast<u16>(word | bits));
}

void pci_list_devices() {
  serial_puts("[PCI] Scanning all devices...\n");
  for (u32 bus = 0; bus < kPciBuses; ++bus) {
    for (u32 slot = 0; slot < kPciSlots; ++slot) {
      const u32 id = pci_config_read32(bus, slot, 0, kPciVendorDevice);
      if ((id & 0xFFFF) == 0xFFFF) continue;
      serial_puts("[PCI] Bus ");
      serial_dec32(bus);
      serial_puts(" Slot ");
      serial_dec32(slot);
      serial_puts(": Vendor=0x");
      serial_hex32(id & 0xFFFF);
      serial_puts(" Device=0x");
      serial_hex32(id >> 16);
      serial_puts(" Class=0x");
      serial_hex32(pci_config_read32(bus, slot, 0, kPciClass));
      serial_puts("\n");
    }
  }
}

u32 pci_find_function0(u16 vendor, const u16* devices, u32 count, PciAddress& out) {
  for (u32 bus = 0; bus < kPciBuses; ++bus) {
    for (u32 slot = 0; slot < kPciSlots; ++slot) {
      const u32 id = pci_config_read32(bus, slot, 0, kPciVendorDevice);
      if ((id & 0xFFFF) != vendor) continue;
      for (u32 i = 0; i < count; ++i) {
        if ((id >> 16) != devices[i]) continue;
        out = {bus, slot, 0};
        return 1;
      }
    }
  }
  return 0;
}

}  // namespace tavlin
