// The frame buffers every protocol shares, Ethernet framing and the receive
// pump that every waiting network operation spins on.
#include "kernel/net/ethernet.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/arp.h"
#include "kernel/net/nic.h"
#include "kernel/net/wire.h"

namespace tavlin {

u8 net_scratch_tx[kScratchTxSize];
u8 net_scratch_rx[kFrameBufferSize];
u8 net_ipv4_frame[kFrameBufferSize];
u16 net_ipv4_frame_len;
u32 net_have_ipv4_frame;
const u8 net_broadcast_mac[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

void eth_write_header(const u8* dst_mac, u16 ether_type) {
  auto* eth = reinterpret_cast<wire::EthernetHeader*>(net_scratch_tx);
  memcpy(eth->dst, dst_mac, 6);
  memcpy(eth->src, nic_mac, 6);
  wire::put_be16(eth->ether_type, ether_type);
}

u32 eth_send_scratch(u32 length) {
  if (length > kScratchTxSize) return 0;
  if (length < wire::kMinFrameLen) {
    memset(net_scratch_tx + length, 0, wire::kMinFrameLen - length);
    length = wire::kMinFrameLen;
  }
  return nic_send_packet(net_scratch_tx, length);
}

u32 net_receive_frame(const u8* frame, u32 length) {
  serial_puts("[NET] Received packet, len=");
  serial_dec32(length);
  serial_puts("\n");
  if (length < wire::kEthHeaderLen) return 0;
  const u16 type = wire::be16(frame + 12);
  serial_puts("[NET] Ethertype=0x");
  serial_hex8(static_cast<u8>(type >> 8));
  serial_hex8(static_cast<u8>(type));
  serial_puts("\n");
  if (type == wire::kEtherTypeArp) {
    arp_receive(frame, length);
    return 0;
  }
  if (type != wire::kEtherTypeIpv4) return 0;
  const u32 count = length < kFrameBufferSize ? length : kFrameBufferSize;
  memcpy(net_ipv4_frame, frame, count);
  net_ipv4_frame_len = static_cast<u16>(count);
  net_have_ipv4_frame = 1;
  return 1;
}

void net_pump() {
  const u32 deadline = ticks_now() + kPumpTicks;
  while (!tick_reached(deadline)) {
    const u32 length = nic_poll_recv(net_scratch_rx);
    if (length == 0) continue;
    if (net_receive_frame(net_scratch_rx, length)) return;
  }
}

}  // namespace tavlin
