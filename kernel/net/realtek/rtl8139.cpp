// RTL8139 driver: PCI discovery, reset, MAC, the receive ring reader and the
// four-slot transmitter behind the card seam.
#include "kernel/net/realtek/rtl8139.h"

#include "kernel/arch/hw.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/nic.h"
#include "kernel/net/pci.h"

namespace tavlin {

u32 rtl8139_ok;
u32 rtl8139_pci_bar0;
u8 rtl8139_mac[6];
alignas(16) u8 rtl8139_rx_buffer[kRtl8139RxBufferSize];
u16 rtl8139_rx_cur;
alignas(16) u8 rtl8139_tx_buffers[kRtl8139TxSlots][kRtl8139TxSlotSize];
u32 rtl8139_tx_cur;

namespace {

// Registers (offsets from the I/O base).
constexpr u16 kIdr0 = 0x00;     // MAC, 6 bytes
constexpr u16 kTsd0 = 0x10;     // transmit status of slot n at +4n
constexpr u16 kTsad0 = 0x20;    // transmit address of slot n at +4n
constexpr u16 kRbstart = 0x30;  // receive ring address
constexpr u16 kCr = 0x37;       // command
constexpr u16 kCapr = 0x38;     // current address of packet read (ours)
constexpr u16 kCbr = 0x3A;      // current buffer address (the card's write)
constexpr u16 kImr = 0x3C;
constexpr u16 kIsr = 0x3E;
constexpr u16 kRcr = 0x44;
constexpr u16 kConfig1 = 0x52;
constexpr u16 kMsr = 0x58;

constexpr u8 kCrReset = 0x10;
constexpr u8 kCrRxTxEnable = 0x0C;
constexpr u8 kCrTxEnable = 0x04;
constexpr u32 kTsdOwn = 1u << 13;  // set: the slot is ours again
constexpr u32 kTsdTok = 1u << 15;  // transmit OK
constexpr u8 kMsrLinkFail = 1u << 2;
constexpr u16 kRxStatusOk = 1u << 0;

// Receive config: own address, broadcast (DHCP answers arrive that way),
// runt and error frames (dropped by the status check below), 8 KiB ring.
// The wrap bit stays clear: the card then wraps a frame to the ring's start,
// which is what the reader expects; with it set the card would write up to
// a frame's length past the end of the ring.
constexpr u32 kRcrAcceptPhysical = 1u << 1;
constexpr u32 kRcrAcceptBroadcast = 1u << 3;
constexpr u32 kRcrAcceptRuntErrorAndBit6 = 0x70;
constexpr u32 kRcrValue = kRcrAcceptPhysical | kRcrAcceptBroadcast | kRcrAcceptRuntErrorAndBit6;

constexpr u32 kResetPolls = 1000000;
constexpr u32 kTxPolls = 1000000;
constexpr u32 kMaxPayload = 1596;
constexpr u32 kMinHeaderLength = 4 + 14;  // an Ethernet header and the CRC
constexpr u32 kRingMask = kRtl8139RingSize - 1;
constexpr u32 kDebugLogInterval = 50;

constexpr u16 kRealtekVendor = 0x10EC;
constexpr u16 kDeviceIds[] = {0x8139};

const NicDriver kDriver = {rtl8139_send, rtl8139_poll, rtl8139_link_up};

u32 last_debug_log_tick;
u32 debug_logged_once;

u16 port(u16 reg) { return static_cast<u16>(rtl8139_pci_bar0 + reg); }

void log_mac() {
  serial_puts("[RTL8139] MAC: ");
  serial_mac(rtl8139_mac);
  serial_puts("\n");
}

u32 reset_card() {
  serial_puts("[RTL8139] Resetting...\n");
  hw::outb(port(kConfig1), 0);  // wake the chip from low-power mode
  hw::outb(port(kCr), kCrReset);
  for (u32 i = 0; i < kResetPolls; ++i)
    if (!(hw::inb(port(kCr)) & kCrReset)) return 1;
  serial_puts("[RTL8139] Reset timeout!\n");
  return 0;
}

void setup_rx() {
  serial_puts("[RTL8139] Setting up RX...\n");
  hw::outb(port(kCr), 0);
  hw::outw(port(kIsr), 0xFFFF);
  hw::outl(port(kRbstart), hw::phys_addr(rtl8139_rx_buffer));
  hw::outl(port(kRcr), kRcrValue);
  rtl8139_rx_cur = 0;
  hw::outw(port(kCapr), 0xFFF0);
  hw::outw(port(kImr), 0);  // polled: no interrupts
  hw::outb(port(kCr), kCrRxTxEnable);
}

void setup_tx() {
  serial_puts("[RTL8139] Setting up TX...\n");
  for (u32 n = 0; n < kRtl8139TxSlots; ++n)
    hw::outl(port(static_cast<u16>(kTsad0 + 4 * n)), hw::phys_addr(rtl8139_tx_buffers[n]));
  rtl8139_ok = 1;
  rtl8139_tx_cur = 0;
}

void log_receive_pointers(u32 write, u32 offset) {
  const u32 now = ticks_now();
  if (debug_logged_once && now - last_debug_log_tick < kDebugLogInterval) return;
  debug_logged_once = 1;
  last_debug_log_tick = now;
  serial_puts("[RX-DBG] write_ptr=");
  serial_hex32(write);
  serial_puts(" our_offset=");
  serial_hex32(offset);
  serial_puts("\n");
}

// Turns the receiver off and on with its ring set up again, then reads from
// wherever the card writes next; what the ring held is dropped.
void restart_receiver() {
  serial_puts("[RTL8139] Bad receive header, receiver restarted\n");
  hw::outb(port(kCr), kCrTxEnable);
  hw::outb(port(kCr), kCrRxTxEnable);
  hw::outl(port(kRbstart), hw::phys_addr(rtl8139_rx_buffer));
  hw::outl(port(kRcr), kRcrValue);
  const u16 write = static_cast<u16>(hw::inw(port(kCbr)) & kRingMask);
  rtl8139_rx_cur = write;
  hw::outw(port(kCapr), static_cast<u16>((write - 16) & kRingMask));
}

u32 no_card(const char* why) {
  if (why) serial_puts(why);
  serial_puts("[RTL8139] No RTL8139 found\n");
  serial_puts("[NET] No supported NIC found!\n");
  return 0;
}

}  // namespace

u32 rtl8139_init(u32 base) {
  rtl8139_pci_bar0 = base;
  serial_puts("[RTL8139] Found NIC at I/O port ");
  serial_hex32(base);
  serial_puts("\n");
  if (!reset_card()) {
    serial_puts("[NET] No supported NIC found!\n");
    return 0;
  }
  for (u16 i = 0; i < 6; ++i) rtl8139_mac[i] = hw::inb(port(static_cast<u16>(kIdr0 + i)));
  log_mac();
  setup_rx();
  setup_tx();
  nic_attach(kDriver, rtl8139_mac);
  serial_puts("[RTL8139] Initialized successfully!\n");
  serial_puts("[RTL8139] CMD=");
  serial_hex8(hw::inb(port(kCr)));
  serial_puts(" RBSTART=");
  serial_hex32(hw::inl(port(kRbstart)));
  serial_puts("\n[NET] Using RTL8139 driver\n");
  return 1;
}

u32 rtl8139_probe() {
  rtl8139_ok = 0;
  serial_puts("[RTL8139] Scanning PCI...\n");
  PciAddress where{};
  if (!pci_find_function0(kRealtekVendor, kDeviceIds, 1, where)) return no_card(nullptr);
  const u32 bar0 = pci_config_read32(where.bus, where.slot, 0, kPciBar0);
  if (!(bar0 & 1)) return no_card("[RTL8139] ERROR: BAR0 is not I/O space\n");
  // The ring is filled by bus-master DMA, which the function must be allowed.
  pci_enable(where, kPciCommandIo | kPciCommandBusMaster);
  const u32 base = bar0 & ~3u;
  serial_puts("[BAR-DBG] raw bar0=0x");
  serial_hex32(bar0);
  serial_puts(" masked=0x");
  serial_hex32(base);
  serial_puts("\n");
  return rtl8139_init(base);
}

u32 rtl8139_send(const u8* frame, u32 length) {
  if (!rtl8139_ok || length == 0 || length > kRtl8139TxSlotSize) return 0;
  const u32 slot = rtl8139_tx_cur;
  const u16 status_port = port(static_cast<u16>(kTsd0 + 4 * slot));
  u32 polls = 0;
  while (!(hw::inl(status_port) & kTsdOwn))
    if (++polls >= kTxPolls) {
      serial_puts("[RTL8139] TX busy timeout\n");
      return 0;
    }
  // Only once the card has let go of the slot may it be refilled; short
  // frames are padded with zeros, never with an older frame's bytes.
  u8* out = rtl8139_tx_buffers[slot];
  memcpy(out, frame, length);
  const u32 wire_length = length < 60 ? 60 : length;
  if (length < wire_length) memset(out + length, 0, wire_length - length);
  hw::outl(status_port, wire_length);
  for (polls = 0; !(hw::inl(status_port) & kTsdTok);)
    if (++polls >= kTxPolls) {
      serial_puts("[RTL8139] TX completion timeout\n");
      return 0;
    }
  rtl8139_tx_cur = (slot + 1) % kRtl8139TxSlots;
  return 1;
}

u32 rtl8139_poll(u8* buffer) {
  if (!rtl8139_ok) return 0;
  serial_puts("[RX-DBG] poll called\n");
  const u32 write = hw::inw(port(kCbr));
  const u32 offset = rtl8139_rx_cur & 0x1FFF;
  log_receive_pointers(write, offset);
  if (write == offset) return 0;
  const u8* ring = rtl8139_rx_buffer;
  const u32 status = ring[offset] | ring[offset + 1] << 8;
  const u32 length = ring[offset + 2] | ring[offset + 3] << 8;  // includes the CRC
  if (length < kMinHeaderLength || length - 4 > kMaxPayload) {
    // No frame is that long or that short: the header is not where the
    // card put one. Stepping over it by its length would lose the frame
    // boundaries for good, so the receiver starts over.
    restart_receiver();
    return 0;
  }
  const u32 next = ((offset + length + 4 + 3) & ~3u) & 0x1FFC;
  rtl8139_rx_cur = static_cast<u16>(next);
  hw::outw(port(kCapr), static_cast<u16>((next - 16) & 0x1FFF));
  if (!(status & kRxStatusOk)) return 0;
  const u32 count = length - 4;
  for (u32 i = 0; i < count; ++i) buffer[i] = ring[(offset + 4 + i) & kRingMask];
  return count;
}

u32 rtl8139_link_up() {
  return rtl8139_ok && !(hw::inb(port(kMsr)) & kMsrLinkFail) ? 1 : 0;
}

Rtl8139Pointers rtl8139_pointers() {
  if (!rtl8139_ok) return {0, 0, 0};
  return {hw::inw(port(kCapr)), hw::inw(port(kCbr)), hw::inb(port(kCr))};
}

}  // namespace tavlin
