// Intel HD Audio detection at start-up: find the controller, take it through
// a reset and read its capabilities word. No sound is ever played.
#include "kernel/arch/hw.h"
#include "kernel/core/serial.h"
#include "kernel/net/device_detect.h"
#include "kernel/net/pci.h"

namespace tavlin {
namespace {

constexpr u16 kIntel = 0x8086;
constexpr u16 kHdaDevices[] = {0x2668, 0x27D8, 0x284B, 0x293E, 0x3A3E, 0x3B56};
constexpr u32 kGcap = 0x00;  // global capabilities
constexpr u32 kGctl = 0x08;  // global control: bit 0 takes the controller out of reset

}  // namespace

void hda_detect() {
  PciAddress where{};
  if (!pci_find_function0(kIntel, kHdaDevices, sizeof kHdaDevices / sizeof kHdaDevices[0], where)) {
    serial_puts("[HDA] No Intel HD Audio found\n");
    return;
  }
  const u32 bar0 = pci_config_read32(where.bus, where.slot, where.function, kPciBar0);
  hda_bar0 = bar0 & ~0xFu;
  pci_enable(where, kPciCommandIo | kPciCommandMemory | kPciCommandBusMaster);
  serial_puts("[HDA] Found at BAR0=0x");
  serial_hex32(hda_bar0);
  serial_puts("\n");
  // An unassigned or I/O BAR names no registers we could write safely.
  if (hda_bar0 == 0 || (bar0 & 1)) {
    serial_puts("[HDA] Controller has no memory BAR\n");
    return;
  }
  hw::mmio_write32(hda_bar0 + kGctl, 1);
  device_settle();
  hw::mmio_write32(hda_bar0 + kGctl, 0);
  device_settle();
  serial_puts("[HDA] GCAP=0x");
  serial_hex32(hw::mmio_read32(hda_bar0 + kGcap));
  serial_puts("\n");
  hda_ok = 1;
  serial_puts("[HDA] Beep (no actual PCM)\n");
}

}  // namespace tavlin
