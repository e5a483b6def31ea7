// The receiving side of one client connection: an in-order receiver that
// acknowledges every segment, sends our unacknowledged request again while
// the peer is silent, and says how the stream ended.
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/tcp.h"

namespace tavlin {
namespace {

constexpr u32 kResendTicks = 100;


// Appends what fits of the stream bytes and moves rcv_nxt past all of them.
void take(TcpConnection& c, const u8* data, u32 count, TcpReceiveBuffer& in) {
  const u32 room = in.cap - in.length;
  const u32 kept = count < room ? count : room;
  memcpy(in.data + in.length, data, kept);
  in.length += kept;
  c.rcv_nxt += count;
  c.received += count;
}

void resend_unacked(const TcpConnection& c) {
  tcp_send_at(c, c.snd_nxt - c.unacked_length, kTcpPsh | kTcpAck, c.unacked, c.unacked_length);
}

// Our FIN after one of theirs that left nothing missing.
TcpReceiveEnd close_after_fin(TcpConnection& c) {
  c.rcv_nxt += 1;
  tcp_send(c, kTcpAck, nullptr, 0);
  tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
  return TcpReceiveEnd::Closed;
}

TcpReceiveEnd give_up(TcpConnection& c, TcpReceiveEnd why) {
  tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
  return why;
}

}  // namespace

TcpReceiveEnd tcp_receive_stream(TcpConnection& c, TcpReceiveBuffer& in, u32 idle, u32 deadline) {
  u32 idle_at = ticks_now() + idle;
  u32 resend_at = ticks_now() + kResendTicks;
  TcpSegment s;
  for (;;) {
    u32 wake = earlier_tick(idle_at, deadline);
    if (c.unacked_length) wake = earlier_tick(wake, resend_at);
    if (!tcp_next_segment(c, wake, s)) {
      if (tick_reached(deadline)) return give_up(c, TcpReceiveEnd::Deadline);
      if (tick_reached(idle_at)) return give_up(c, TcpReceiveEnd::Idle);
      resend_unacked(c);  // the request, or its acknowledgement, was lost
      resend_at = ticks_now() + kResendTicks;
      continue;
    }
    if ((s.flags & kTcpAck) && s.ack == c.snd_nxt) c.unacked_length = 0;
    if (s.flags & kTcpRst) {
      if (tcp_seq_in_window(c, s.seq)) return TcpReceiveEnd::Reset;
      continue;
    }
    const bool carries = s.payload_length || (s.flags & kTcpFin);
    if (seq_before(c.rcv_nxt, s.seq)) {  // a gap: ask again for what is missing
      if (carries) tcp_send(c, kTcpAck, nullptr, 0);
      continue;
    }
    // In order, or a repeat that may still carry new bytes past rcv_nxt:
    // only those are taken, so no byte is acknowledged without being kept.
    const u32 end = s.seq + s.payload_length;
    if (seq_before(c.rcv_nxt, end)) {
      take(c, s.payload + (c.rcv_nxt - s.seq), end - c.rcv_nxt, in);
      idle_at = ticks_now() + idle;
    }
    if (s.payload_length) tcp_send(c, kTcpAck, nullptr, 0);
    // A FIN ends the stream only where nothing before it is missing.
    if ((s.flags & kTcpFin) && end == c.rcv_nxt) return close_after_fin(c);
    if (carries && !s.payload_length) tcp_send(c, kTcpAck, nullptr, 0);
  }
}

}  // namespace tavlin
