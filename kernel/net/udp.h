// UDP: the checksum, the one builder DHCP and DNS share, and the checked
// view of a received datagram.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Checksum of the UDP segment at frame offset 34 of net_scratch_tx,
// udp_length bytes long with its checksum field zero, host order.
u16 udp_checksum(u32 udp_length, const u8* source_ip, const u8* destination_ip);

// Builds a whole UDP frame in net_scratch_tx: Ethernet, IPv4 (flags 0,
// identification incremented first), UDP with its checksum, then the
// payload. Returns the frame length before padding, or 0 when the payload
// does not fit.
u32 udp_build_frame(const u8* dst_mac, const u8* src_ip, const u8* dst_ip, u16 src_port,
                    u16 dst_port, const u8* payload, u32 payload_length);

struct UdpDatagram {
  const u8* src_ip;
  u16 src_port;
  u16 dst_port;
  u32 length;  // the UDP length field, header included
  const u8* payload;
  u32 payload_length;
};
// 1 when the frame is a UDP datagram whose length agrees with the IP layer.
u32 udp_parse(const u8* frame, u32 length, UdpDatagram& out);

}  // namespace tavlin
