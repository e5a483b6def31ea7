// Intel 8254x driver: PCI discovery, reset, MAC, the two descriptor rings,
// and the polled send and receive behind the card seam.
#include "kernel/net/intel/e1000.h"

#include "kernel/arch/hw.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/net/nic.h"
#include "kernel/net/pci.h"

namespace tavlin {

u32 e1000_ok;
u32 e1000_pci_bar0;
u8 e1000_mac[6];
alignas(16) volatile E1000RxDesc rx_desc_ring[kE1000RingSize];
alignas(16) volatile E1000TxDesc tx_desc_ring[kE1000RingSize];
alignas(16) u8 rx_buffers[kE1000RingSize][kE1000BufferSize];
alignas(16) u8 tx_buffers[kE1000RingSize][kE1000BufferSize];
u32 e1000_rx_cur;
u32 e1000_tx_cur;
u32 e1000_rx_in_long_frame;

namespace {

// Registers (offsets into the BAR0 window).
constexpr u32 kCtrl = 0x0000;
constexpr u32 kStatus = 0x0008;
constexpr u32 kEerd = 0x0014;  // EEPROM read
constexpr u32 kIcr = 0x00C0;   // interrupt cause, cleared by reading
constexpr u32 kImc = 0x00D8;   // interrupt mask clear
constexpr u32 kRctl = 0x0100;
constexpr u32 kTctl = 0x0400;
constexpr u32 kTipg = 0x0410;
constexpr u32 kRdbal = 0x2800;
constexpr u32 kRdbah = 0x2804;
constexpr u32 kRdlen = 0x2808;
constexpr u32 kRdh = 0x2810;
constexpr u32 kRdt = 0x2818;
constexpr u32 kTdbal = 0x3800;
constexpr u32 kTdbah = 0x3804;
constexpr u32 kTdlen = 0x3808;
constexpr u32 kTdh = 0x3810;
constexpr u32 kTdt = 0x3818;
constexpr u32 kMta = 0x5200;  // 128 multicast table words
constexpr u32 kRal0 = 0x5400;
constexpr u32 kRah0 = 0x5404;

constexpr u32 kCtrlReset = 1u << 26;
constexpr u32 kCtrlAutoSpeedSetLinkUp = 0x60;  // ASDE | SLU
constexpr u32 kStatusLinkUp = 1u << 1;
constexpr u32 kEerdStart = 1u << 0;
constexpr u32 kEerdDone = 1u << 4;
// Enable, store bad packets, unicast and multicast promiscuous, broadcast,
// 2048-byte buffers, strip the CRC.
constexpr u32 kRctlValue = 0x0400801E;
// Enable, pad short packets, collision threshold 0x0F, distance 0x40.
constexpr u32 kTctlValue = 0x000400FA;
constexpr u32 kTipgValue = 0x0060200A;

constexpr u8 kDescDone = 1u << 0;
constexpr u8 kRxEndOfPacket = 1u << 1;
constexpr u8 kTxCommand = 0x0B;  // end of packet, insert FCS, report status

constexpr u32 kResetSpin = 1000000;
constexpr u32 kEepromPolls = 100000;

constexpr u16 kDeviceIds[] = {0x1004, 0x100E, 0x100F, 0x1019, 0x101E, 0x10D3};
constexpr u16 kIntelVendor = 0x8086;

const NicDriver kDriver = {e1000_send, e1000_poll, e1000_link_up};

u32 reg_read(u32 reg) { return hw::mmio_read32(e1000_pci_bar0 + reg); }
void reg_write(u32 reg, u32 value) { hw::mmio_write32(e1000_pci_bar0 + reg, value); }

// A counted pause; the counter lives in memory so the loop is kept.
void spin(u32 iterations) {
  volatile u32 i = 0;
  while (i < iterations) i = i + 1;
}

u32 supported_device(u32 id) {
  if ((id & 0xFFFF) != kIntelVendor) return 0;
  for (u16 device : kDeviceIds)
    if ((id >> 16) == device) return 1;
  return 0;
}

// The register window of an accepted function, or 0 to skip it. An I/O or
// 64-bit BAR0 is used only when its upper half (BAR1) is zero.
u32 usable_bar0(const PciAddress& f) {
  const u32 bar0 = pci_config_read32(f.bus, f.slot, f.function, kPciBar0);
  const u32 is_io = bar0 & 1;
  const u32 is_64bit = ((bar0 >> 1) & 3) == 2;
  if ((is_io || is_64bit) && pci_config_read32(f.bus, f.slot, f.function, kPciBar1) != 0)
    return 0;
  return bar0 & ~0xFu;
}

u32 find_card(PciAddress& where, u32& base) {
  for (u32 bus = 0; bus < kPciBuses; ++bus) {
    for (u32 slot = 0; slot < kPciSlots; ++slot) {
      if ((pci_config_read32(bus, slot, 0, kPciVendorDevice) & 0xFFFF) == 0xFFFF) continue;
      const u32 header = pci_config_read32(bus, slot, 0, kPciHeaderType) >> 16;
      const u32 functions = (header & 0x80) ? 8 : 1;
      for (u32 fn = 0; fn < functions; ++fn) {
        if (!supported_device(pci_config_read32(bus, slot, fn, kPciVendorDevice))) continue;
        where = {bus, slot, fn};
        base = usable_bar0(where);
        if (base) return 1;
      }
    }
  }
  return 0;
}

u16 eeprom_read(u32 word) {
  reg_write(kEerd, word << 8 | kEerdStart);
  for (u32 i = 0; i < kEepromPolls; ++i) {
    const u32 value = reg_read(kEerd);
    if (value & kEerdDone) return static_cast<u16>(value >> 16);
  }
  return 0;
}

void read_mac() {
  const u32 low = reg_read(kRal0);
  const u32 high = reg_read(kRah0);
  if (low != 0 || (high & 0xFFFF) != 0) {
    for (u32 i = 0; i < 4; ++i) e1000_mac[i] = static_cast<u8>(low >> (8 * i));
    e1000_mac[4] = static_cast<u8>(high);
    e1000_mac[5] = static_cast<u8>(high >> 8);
  } else {
    for (u32 w = 0; w < 3; ++w) {
      const u16 value = eeprom_read(w);
      e1000_mac[2 * w] = static_cast<u8>(value);
      e1000_mac[2 * w + 1] = static_cast<u8>(value >> 8);
    }
  }
  serial_puts("[e1000] MAC: ");
  serial_mac(e1000_mac);
  serial_puts("\n");
}

void setup_rx() {
  for (u32 i = 0; i < kE1000RingSize; ++i) {
    rx_desc_ring[i].address = hw::phys_addr(rx_buffers[i]);
    rx_desc_ring[i].status = 0;
  }
  reg_write(kRdbal, hw::phys_addr(const_cast<E1000RxDesc*>(rx_desc_ring)));
  reg_write(kRdbah, 0);
  reg_write(kRdlen, sizeof rx_desc_ring);
  reg_write(kRdh, 0);
  reg_write(kRdt, kE1000RingSize - 1);
  e1000_rx_cur = 0;
  e1000_rx_in_long_frame = 0;
  for (u32 i = 0; i < 128; ++i) reg_write(kMta + 4 * i, 0);
  reg_write(kRctl, kRctlValue);
}

void setup_tx() {
  for (u32 i = 0; i < kE1000RingSize; ++i) {
    tx_desc_ring[i].address = hw::phys_addr(tx_buffers[i]);
    tx_desc_ring[i].command = 0;
    tx_desc_ring[i].status = kDescDone;  // every slot starts free
  }
  reg_write(kTdbal, hw::phys_addr(const_cast<E1000TxDesc*>(tx_desc_ring)));
  reg_write(kTdbah, 0);
  reg_write(kTdlen, sizeof tx_desc_ring);
  reg_write(kTdh, 0);
  reg_write(kTdt, 0);
  reg_write(kTctl, kTctlValue);
  reg_write(kTipg, kTipgValue);
}

}  // namespace

void e1000_init(u32 bar0) {
  e1000_pci_bar0 = bar0;
  reg_write(kCtrl, reg_read(kCtrl) | kCtrlReset);
  spin(kResetSpin);
  reg_write(kImc, 0xFFFFFFFF);  // the card is polled: no interrupts
  reg_read(kIcr);
  reg_write(kCtrl, reg_read(kCtrl) | kCtrlAutoSpeedSetLinkUp);
  read_mac();
  setup_rx();
  setup_tx();
  e1000_tx_cur = 0;
  e1000_ok = 1;
  nic_attach(kDriver, e1000_mac);
  serial_puts("[NET] Using e1000 driver\n");
}

u32 e1000_probe() {
  e1000_ok = 0;
  PciAddress where{};
  u32 base = 0;
  if (!find_card(where, base)) return 0;
  pci_enable(where, kPciCommandMemory | kPciCommandBusMaster);
  serial_puts("[e1000] Found NIC at BAR0=");
  serial_hex32(base);
  serial_puts("\n");
  e1000_init(base);
  return 1;
}

u32 e1000_send(const u8* frame, u32 length) {
  if (!e1000_ok || length == 0) return 0;
  volatile E1000TxDesc& desc = tx_desc_ring[e1000_tx_cur];
  if (!(desc.status & kDescDone)) return 0;  // the card still owns it: ring full
  // One descriptor always stays empty: were the tail moved onto the head,
  // the card would read the ring as empty and drop every frame in it.
  const u32 next = (e1000_tx_cur + 1) % kE1000RingSize;
  if (!(tx_desc_ring[next].status & kDescDone)) return 0;
  const u32 count = length < kE1000BufferSize ? length : kE1000BufferSize;
  memcpy(tx_buffers[e1000_tx_cur], frame, count);
  desc.address = hw::phys_addr(tx_buffers[e1000_tx_cur]);
  desc.length = static_cast<u16>(count);
  desc.command = kTxCommand;
  desc.status = 0;
  hw::barrier();
  e1000_tx_cur = next;
  reg_write(kTdt, e1000_tx_cur);
  return 1;
}

u32 e1000_poll(u8* buffer) {
  if (!e1000_ok) return 0;
  volatile E1000RxDesc& desc = rx_desc_ring[e1000_rx_cur];
  const u8 status = desc.status;
  if (!(status & kDescDone)) return 0;
  hw::barrier();
  // The card stores bad frames too (the receive control asks it to): one it
  // marks with an error, and every piece of a frame too long for one
  // buffer, is dropped rather than handed up as if it were whole.
  const bool whole = !e1000_rx_in_long_frame && (status & kRxEndOfPacket) && desc.errors == 0;
  e1000_rx_in_long_frame = !(status & kRxEndOfPacket);
  u32 count = 0;
  if (whole) {
    count = desc.length < kE1000BufferSize ? desc.length : kE1000BufferSize;
    memcpy(buffer, rx_buffers[e1000_rx_cur], count);
  }
  desc.status = 0;
  reg_write(kRdt, e1000_rx_cur);  // hand the descriptor back to the card
  e1000_rx_cur = (e1000_rx_cur + 1) % kE1000RingSize;
  return count;
}

u32 e1000_link_up() { return e1000_ok && (reg_read(kStatus) & kStatusLinkUp) ? 1 : 0; }

}  // namespace tavlin
