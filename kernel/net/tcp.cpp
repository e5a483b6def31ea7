// TCP segments on the wire and the opening of one client connection: the
// segment builder, the matcher, the wait for the next segment and the
// handshake.
#include "kernel/net/tcp.h"

#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/ethernet.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/wire.h"

namespace tavlin {
namespace {

constexpr u16 kDontFragment = 0x4000;
constexpr u32 kSegmentOffset = wire::kL4Offset + wire::kTcpHeaderLen;  // 54

u32 build_segment(const u8* dst_mac, const u8* dst_ip, u16 src_port, u16 dst_port, u32 seq,
                  u32 ack, u8 flags, const u8* payload, u32 length) {
  if (length > kTcpMaxPayload) length = kTcpMaxPayload;
  eth_write_header(dst_mac, wire::kEtherTypeIpv4);
  ipv4_write_header(net_scratch_tx + wire::kIpOffset,
                    static_cast<u16>(wire::kIpHeaderLen + wire::kTcpHeaderLen + length), g_ip_id,
                    kDontFragment, wire::kProtoTcp, net_my_ip, dst_ip);
  g_ip_id = static_cast<u16>(g_ip_id + 1);
  auto* t = reinterpret_cast<wire::TcpHeader*>(net_scratch_tx + wire::kL4Offset);
  wire::put_be16(t->src_port, src_port);
  wire::put_be16(t->dst_port, dst_port);
  wire::put_be32(t->seq, seq);
  wire::put_be32(t->ack, ack);
  t->data_offset = 0x50;
  t->flags = flags;
  wire::put_be16(t->window, kTcpWindow);
  wire::put_be16(t->checksum, 0);
  wire::put_be16(t->urgent, 0);
  if (length) memmove(net_scratch_tx + kSegmentOffset, payload, length);
  const u32 tcp_length = wire::kTcpHeaderLen + length;
  wire::put_be16(t->checksum,
                 ip_transport_checksum(net_my_ip, dst_ip, wire::kProtoTcp, net_scratch_tx + wire::kL4Offset, tcp_length));
  return kSegmentOffset + length;
}

}  // namespace

u32 tcp_send_segment(const u8* dst_mac, const u8* dst_ip, u16 src_port, u16 dst_port, u32 seq,
                     u32 ack, u8 flags, const u8* payload, u32 length) {
  return eth_send_scratch(
      build_segment(dst_mac, dst_ip, src_port, dst_port, seq, ack, flags, payload, length));
}

u32 tcp_build_and_send(const u8* dst_mac, const u8* dst_ip, u16 src_port, u16 dst_port, u32 seq,
                       u32 ack, u8 flags, const u8* payload, u32 length) {
  const u32 frame = build_segment(dst_mac, dst_ip, src_port, dst_port, seq, ack, flags, payload,
                                  length);
  eth_send_scratch(frame);
  return frame < wire::kMinFrameLen ? wire::kMinFrameLen : frame;
}

u32 tcp_frame_matches(u32 frame_length, const u8* peer_ip, u16 local_port, u16 remote_port,
                      TcpSegment& out) {
  Ipv4Packet ip;
  if (!ipv4_parse(net_ipv4_frame, frame_length, ip) || ip.protocol != wire::kProtoTcp) return 0;
  if (!ip_equal(ip.dst, net_my_ip) || !ip_equal(ip.src, peer_ip)) return 0;
  if (ip.payload_length < wire::kTcpHeaderLen) return 0;
  const auto* t = reinterpret_cast<const wire::TcpHeader*>(ip.payload);
  const u32 header_length = (t->data_offset >> 4) * 4u;
  if (header_length < wire::kTcpHeaderLen || header_length > ip.payload_length) return 0;
  if (wire::be16(t->src_port) != remote_port || wire::be16(t->dst_port) != local_port) return 0;
  out = {wire::be32(t->seq), wire::be32(t->ack), t->flags,
         wire::be16(t->window), ip.payload + header_length, ip.payload_length - header_length};
  return 1;
}

u32 tcp_next_segment(const TcpConnection& c, u32 deadline, TcpSegment& out) {
  while (!tick_reached(deadline)) {
    net_have_ipv4_frame = 0;
    net_pump();
    if (!net_have_ipv4_frame || net_ipv4_frame_len < kSegmentOffset) continue;
    if (tcp_frame_matches(net_ipv4_frame_len, c.peer_ip, c.local_port, c.remote_port, out))
      return 1;
  }
  return 0;
}

u32 tcp_send(const TcpConnection& c, u8 flags, const u8* payload, u32 length) {
  return tcp_send_at(c, c.snd_nxt, flags, payload, length);
}

u32 tcp_send_at(const TcpConnection& c, u32 seq, u8 flags, const u8* payload, u32 length) {
  return tcp_send_segment(c.peer_mac, c.peer_ip, c.local_port, c.remote_port, seq, c.rcv_nxt, flags,
                          payload, length);
}

u32 tcp_open(TcpConnection& c, u32 attempts, u32 wait) {
  c.snd_nxt = c.iss;
  c.rcv_nxt = 0;
  for (u32 attempt = 0; attempt < attempts; ++attempt) {
    tcp_send(c, kTcpSyn, nullptr, 0);
    const u32 deadline = ticks_now() + wait;
    bool stale_reset = false;
    TcpSegment s;
    while (tcp_next_segment(c, deadline, s)) {
      if (!(s.flags & kTcpAck)) continue;
      if (s.ack != c.iss + 1) {
        // A reset that does not answer our SYN is someone else's: ignored.
        if (s.flags & kTcpRst) continue;
        // An acknowledgement of something we never sent: the peer still
        // keeps an old connection on these ports in TIME-WAIT (a machine
        // that rebooted and picked the same port and sequence). Reset that
        // connection at the sequence it expects and ask again, once per
        // attempt so forged segments cannot spend our attempts.
        if (stale_reset) continue;
        stale_reset = true;
        tcp_send_at(c, s.ack, kTcpRst, nullptr, 0);
        tcp_send(c, kTcpSyn, nullptr, 0);
        continue;
      }
      if (s.flags & kTcpRst) return 0;
      if (!(s.flags & kTcpSyn)) continue;
      c.peer_iss = s.seq;
      c.rcv_nxt = s.seq + 1;
      c.snd_nxt = c.iss + 1;
      c.peer_window = s.window;
      return 1;
    }
  }
  return 0;
}


}  // namespace tavlin
