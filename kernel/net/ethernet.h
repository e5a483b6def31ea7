// The shared frame buffers and the receive pump: the pump polls the card,
// feeds ARP replies to the cache and hands one IPv4 frame at a time to
// whichever operation is waiting.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kScratchTxSize = 1514;
constexpr u32 kFrameBufferSize = 2048;
constexpr u32 kPumpTicks = 5;

extern u8 net_scratch_tx[kScratchTxSize];
extern u8 net_scratch_rx[kFrameBufferSize];
extern u8 net_ipv4_frame[kFrameBufferSize];
extern u16 net_ipv4_frame_len;
extern u32 net_have_ipv4_frame;
extern const u8 net_broadcast_mac[6];

// One pump pass: polls for up to kPumpTicks, returns early once it has
// handed over an IPv4 frame.
void net_pump();

// Handles one received frame as the pump does; 1 when it was an IPv4 frame
// now waiting in net_ipv4_frame.
u32 net_receive_frame(const u8* frame, u32 length);

// Writes the Ethernet header at the start of net_scratch_tx.
void eth_write_header(const u8* dst_mac, u16 ether_type);

// Sends the first `length` bytes of net_scratch_tx, zero-padded to the
// minimum frame size; the card's result.
u32 eth_send_scratch(u32 length);

}  // namespace tavlin
