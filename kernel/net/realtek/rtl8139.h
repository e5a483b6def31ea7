// Realtek RTL8139 driver: one 8 KiB receive ring and four transmit slots
// through I/O ports, polled, interrupts masked.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kRtl8139RingSize = 8192;
constexpr u32 kRtl8139RxBufferSize = kRtl8139RingSize + 16;
constexpr u32 kRtl8139TxSlots = 4;
constexpr u32 kRtl8139TxSlotSize = 1536;

extern u32 rtl8139_ok;
extern u32 rtl8139_pci_bar0;
extern u8 rtl8139_mac[6];
extern u8 rtl8139_rx_buffer[kRtl8139RxBufferSize];
extern u16 rtl8139_rx_cur;
extern u8 rtl8139_tx_buffers[kRtl8139TxSlots][kRtl8139TxSlotSize];
extern u32 rtl8139_tx_cur;

// Finds the card on the bus and brings it up behind the card seam; 1 on
// success. Logs every failure, including "no supported NIC".
u32 rtl8139_probe();
// Brings up a card at I/O base `base` (after the PCI part); 1 on success.
u32 rtl8139_init(u32 base);

u32 rtl8139_send(const u8* frame, u32 length);
u32 rtl8139_poll(u8* buffer);
u32 rtl8139_link_up();

// Receive read pointer, write pointer and command register, for diagnostics.
struct Rtl8139Pointers {
  u32 read, write, command;
};
Rtl8139Pointers rtl8139_pointers();

}  // namespace tavlin
