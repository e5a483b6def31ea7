// Intel 8254x (e1000 family) driver: legacy descriptor rings of 32 entries,
// polled, interrupts masked. It only moves frames between the rings and the
// caller's buffers.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kE1000RingSize = 32;
constexpr u32 kE1000BufferSize = 2048;

struct __attribute__((packed)) E1000RxDesc {
  u64 address;
  u16 length;
  u16 checksum;
  u8 status;
  u8 errors;
  u16 special;
};
static_assert(sizeof(E1000RxDesc) == 16);

struct __attribute__((packed)) E1000TxDesc {
  u64 address;
  u16 length;
  u8 checksum_offset;
  u8 command;
  u8 status;
  u8 checksum_start;
  u16 special;
};
static_assert(sizeof(E1000TxDesc) == 16);

extern u32 e1000_ok;
extern u32 e1000_pci_bar0;
extern u8 e1000_mac[6];
extern volatile E1000RxDesc rx_desc_ring[kE1000RingSize];
extern volatile E1000TxDesc tx_desc_ring[kE1000RingSize];
extern u8 rx_buffers[kE1000RingSize][kE1000BufferSize];
extern u8 tx_buffers[kE1000RingSize][kE1000BufferSize];
extern u32 e1000_rx_cur;
extern u32 e1000_tx_cur;
// 1 between the first and the last buffer of a frame that spans several.
extern u32 e1000_rx_in_long_frame;

// Finds the first supported function on the bus and brings it up behind the
// card seam; 1 on success. Logs what it finds.
u32 e1000_probe();
// Brings up a card whose register window is at `bar0` (after the PCI part).
void e1000_init(u32 bar0);

u32 e1000_send(const u8* frame, u32 length);
u32 e1000_poll(u8* buffer);
u32 e1000_link_up();

}  // namespace tavlin
