// TCP segments on the wire and the client side of one connection: the
// handshake, and an in-order receiver that acknowledges every segment.
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
  u8 pseudo[12];
  memcpy(pseudo, net_my_ip, 4);
  memcpy(pseudo + 4, dst_ip, 4);
  pseudo[8] = 0;
  pseudo[9] = wire::kProtoTcp;
  wire::put_be16(pseudo + 10, static_cast<u16>(tcp_length));
  const u32 sum = ip_checksum_add(ip_checksum_add(0, pseudo, 12),
                                  net_scratch_tx + wire::kL4Offset, tcp_length);
  wire::put_be16(t->checksum, ip_checksum_finish(sum));
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
  while (static_cast<i32>(ticks_now() - deadline) < 0) {
    net_have_ipv4_frame = 0;
    net_pump();
    if (!net_have_ipv4_frame || net_ipv4_frame_len < kSegmentOffset) continue;
    if (tcp_frame_matches(net_ipv4_frame_len, c.peer_ip, c.local_port, c.remote_port, out))
      return 1;
  }
  return 0;
}

u32 tcp_send(const TcpConnection& c, u8 flags, const u8* payload, u32 length) {
  return tcp_send_segment(c.peer_mac, c.peer_ip, c.local_port, c.remote_port, c.snd_nxt,
                          c.rcv_nxt, flags, payload, length);
}

u32 tcp_open(TcpConnection& c, u32 attempts, u32 wait) {
  c.snd_nxt = c.iss;
  c.rcv_nxt = 0;
  for (u32 attempt = 0; attempt < attempts; ++attempt) {
    tcp_send(c, kTcpSyn, nullptr, 0);
    const u32 deadline = ticks_now() + wait;
    TcpSegment s;
    while (tcp_next_segment(c, deadline, s)) {
      if (s.flags & kTcpRst) return 0;
      if ((s.flags & (kTcpSyn | kTcpAck)) != (kTcpSyn | kTcpAck)) continue;
      if (s.ack != c.iss + 1) continue;
      c.peer_iss = s.seq;
      c.rcv_nxt = s.seq + 1;
      c.snd_nxt = c.iss + 1;
      c.peer_window = s.window;
      return 1;
    }
  }
  return 0;
}

namespace {

// Appends what fits of the stream bytes and moves rcv_nxt past all of them.
void take(TcpConnection& c, const u8* data, u32 count, u8* buf, u32 cap, u32& length) {
  const u32 room = cap - length;
  const u32 kept = count < room ? count : room;
  memcpy(buf + length, data, kept);
  length += kept;
  c.rcv_nxt += count;
}

u32 close_after_fin(TcpConnection& c, const TcpSegment& s, u32 length) {
  if (c.rcv_nxt == s.seq + s.payload_length) c.rcv_nxt += 1;  // nothing missing
  tcp_send(c, kTcpAck, nullptr, 0);
  tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
  return length ? 1 : 0;
}

}  // namespace

u32 tcp_receive_stream(TcpConnection& c, u8* buf, u32 cap, u32& length, u32 idle) {
  u32 deadline = ticks_now() + idle;
  TcpSegment s;
  while (tcp_next_segment(c, deadline, s)) {
    if (s.flags & kTcpRst) return length ? 1 : 0;
    const bool fin = s.flags & kTcpFin;
    if (s.payload_length == 0) {
      if (fin) return close_after_fin(c, s, length);
      continue;
    }
    if (seq_before(c.rcv_nxt, s.seq)) {  // a gap: ask again for what is missing
      tcp_send(c, kTcpAck, nullptr, 0);
      continue;
    }
    // In order, or a repeat that may still carry new bytes past rcv_nxt:
    // only those are taken, so no byte is acknowledged without being kept.
    const u32 end = s.seq + s.payload_length;
    if (seq_before(c.rcv_nxt, end)) {
      const u32 skip = c.rcv_nxt - s.seq;
      take(c, s.payload + skip, s.payload_length - skip, buf, cap, length);
      deadline = ticks_now() + idle;
    }
    tcp_send(c, kTcpAck, nullptr, 0);
    if (fin) return close_after_fin(c, s, length);
  }
  if (!length) return 0;
  tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
  return 1;
}

namespace {

constexpr u32 kStallTicks = 100;
constexpr u32 kStallRetries = 8;

struct SendWindow {
  u32 base;    // sequence number of data[0]
  u32 una;     // oldest unacknowledged
  u32 end;     // one past the last byte
  u32 window;  // what the peer last said it takes
  u32 high;    // one past the highest byte ever sent
};

// Sends what the window allows; `probe` allows one segment even when the
// window is closed.
void fill_window(TcpConnection& c, const u8* data, u32 segment, SendWindow& w, bool probe) {
  while (seq_before(c.snd_nxt, w.end)) {
    const u32 in_flight = c.snd_nxt - w.una;
    u32 n = w.end - c.snd_nxt;
    if (n > segment) n = segment;
    if (!probe) {
      if (in_flight >= w.window) return;
      if (n > w.window - in_flight) n = w.window - in_flight;
    }
    if (!tcp_send(c, kTcpPsh | kTcpAck, data + (c.snd_nxt - w.base), n)) return;  // card busy
    c.snd_nxt += n;
    if (seq_before(w.high, c.snd_nxt)) w.high = c.snd_nxt;
    probe = false;
  }
}

}  // namespace

TcpSendResult tcp_send_stream(TcpConnection& c, const u8* data, u32 length, u32 segment,
                              TcpSegment& answer) {
  SendWindow w{c.snd_nxt, c.snd_nxt, c.snd_nxt + length, c.peer_window, c.snd_nxt};
  u32 stalls = 0;
  bool probe = false;
  while (seq_before(w.una, w.end)) {
    fill_window(c, data, segment, w, probe);
    probe = false;
    TcpSegment s;
    if (!tcp_next_segment(c, ticks_now() + kStallTicks, s)) {
      if (++stalls > kStallRetries) return TcpSendResult::Failed;
      c.snd_nxt = w.una;  // go back to the first byte not acknowledged
      probe = true;
      continue;
    }
    if (s.flags & kTcpRst) return TcpSendResult::Failed;
    if (s.payload_length || (s.flags & kTcpFin)) {
      answer = s;
      return TcpSendResult::Answered;
    }
    if (!(s.flags & kTcpAck)) continue;
    if (seq_before(w.una, s.ack) && !seq_before(w.high, s.ack)) {
      w.una = s.ack;
      if (seq_before(c.snd_nxt, w.una)) c.snd_nxt = w.una;  // acknowledged past a go-back
      stalls = 0;
    }
    w.window = s.window;
  }
  return TcpSendResult::Acknowledged;
}

}  // namespace tavlin
