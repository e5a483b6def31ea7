// UDP checksum, frame building and the checked view of received datagrams.
#include "kernel/net/udp.h"

#include "kernel/core/kstring.h"
#include "kernel/net/ethernet.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/wire.h"

namespace tavlin {

u16 udp_checksum(u32 udp_length, const u8* source_ip, const u8* destination_ip) {
  if (udp_length > kScratchTxSize - wire::kL4Offset) udp_length = kScratchTxSize - wire::kL4Offset;
  return ip_transport_checksum(source_ip, destination_ip, wire::kProtoUdp, net_scratch_tx + wire::kL4Offset,
                               udp_length);
}

u32 udp_build_frame(const u8* dst_mac, const u8* src_ip, const u8* dst_ip, u16 src_port,
                    u16 dst_port, const u8* payload, u32 payload_length) {
  if (payload_length > kScratchTxSize - wire::kUdpPayloadOffset) return 0;
  const u32 udp_length = wire::kUdpHeaderLen + payload_length;
  eth_write_header(dst_mac, wire::kEtherTypeIpv4);
  g_ip_id = static_cast<u16>(g_ip_id + 1);
  ipv4_write_header(net_scratch_tx + wire::kIpOffset,
                    static_cast<u16>(wire::kIpHeaderLen + udp_length), g_ip_id, 0,
                    wire::kProtoUdp, src_ip, dst_ip);
  auto* udp = reinterpret_cast<wire::UdpHeader*>(net_scratch_tx + wire::kL4Offset);
  wire::put_be16(udp->src_port, src_port);
  wire::put_be16(udp->dst_port, dst_port);
  wire::put_be16(udp->length, static_cast<u16>(udp_length));
  wire::put_be16(udp->checksum, 0);
  memmove(net_scratch_tx + wire::kUdpPayloadOffset, payload, payload_length);
  wire::put_be16(udp->checksum, udp_checksum(udp_length, src_ip, dst_ip));
  return wire::kUdpPayloadOffset + payload_length;
}

u32 udp_parse(const u8* frame, u32 length, UdpDatagram& out) {
  Ipv4Packet ip;
  if (!ipv4_parse(frame, length, ip) || ip.protocol != wire::kProtoUdp) return 0;
  if (ip.payload_length < wire::kUdpHeaderLen) return 0;
  const auto* udp = reinterpret_cast<const wire::UdpHeader*>(ip.payload);
  const u32 udp_length = wire::be16(udp->length);
  if (udp_length < wire::kUdpHeaderLen || udp_length > ip.payload_length) return 0;
  out = {ip.src,     wire::be16(udp->src_port), wire::be16(udp->dst_port), udp_length,
         ip.payload + wire::kUdpHeaderLen, udp_length - wire::kUdpHeaderLen};
  return 1;
}

}  // namespace tavlin
