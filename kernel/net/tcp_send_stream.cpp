// The sending side of one client connection: a byte stream sent within the
// peer's window, lost segments sent again, until every byte is
// acknowledged, the peer answers, or the transfer runs out of time.
#include "kernel/core/timer.h"
#include "kernel/net/tcp.h"

namespace tavlin {
namespace {

constexpr u32 kStallTicks = 100;
constexpr u32 kStallRetries = 8;
constexpr u32 kDuplicatesForResend = 3;

struct SendWindow {
  u32 base;    // sequence number of data[0]
  u32 una;     // oldest unacknowledged
  u32 end;     // one past the last byte
  u32 window;  // what the peer last said it takes
  u32 high;    // one past the highest byte ever sent
  u32 duplicates;  // acknowledgements of una in a row
};


u32 send_at(TcpConnection& c, const u8* data, const SendWindow& w, u32 seq, u32 n) {
  return tcp_send_at(c, seq, kTcpPsh | kTcpAck, data + (seq - w.base), n);
}

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
    if (!send_at(c, data, w, c.snd_nxt, n)) return;  // card busy
    c.snd_nxt += n;
    if (seq_before(w.high, c.snd_nxt)) w.high = c.snd_nxt;
    probe = false;
  }
}

bool reset_in_window(const TcpConnection& c, const TcpSegment& s) {
  return (s.flags & kTcpRst) && tcp_seq_in_window(c, s.seq);
}

// An acknowledgement: progress moves una; repeated ones of the same byte
// say a segment was lost, and the third sends it again at once.
void take_ack(TcpConnection& c, const u8* data, u32 segment, SendWindow& w, const TcpSegment& s) {
  if (seq_before(w.una, s.ack) && !seq_before(w.high, s.ack)) {
    w.una = s.ack;
    w.duplicates = 0;
    if (seq_before(c.snd_nxt, w.una)) c.snd_nxt = w.una;  // acknowledged past a go-back
  } else if (s.ack == w.una && s.window == w.window && seq_before(w.una, c.snd_nxt) &&
             ++w.duplicates == kDuplicatesForResend) {
    const u32 left = w.end - w.una;
    send_at(c, data, w, w.una, left < segment ? left : segment);
  }
  w.window = s.window;
}

}  // namespace

TcpSendResult tcp_send_stream(TcpConnection& c, const u8* data, u32 length, u32 segment,
                              TcpSegment& answer, u32 deadline) {
  SendWindow w{c.snd_nxt, c.snd_nxt, c.snd_nxt + length, c.peer_window, c.snd_nxt, 0};
  u32 stalls = 0;
  bool probe = false;
  while (seq_before(w.una, w.end)) {
    if (tick_reached(deadline)) return TcpSendResult::TimedOut;
    fill_window(c, data, segment, w, probe);
    probe = false;
    TcpSegment s;
    if (!tcp_next_segment(c, earlier_tick(ticks_now() + kStallTicks, deadline), s)) {
      if (tick_reached(deadline)) return TcpSendResult::TimedOut;
      if (++stalls > kStallRetries) return TcpSendResult::Failed;
      c.snd_nxt = w.una;  // go back to the first byte not acknowledged
      probe = true;
      continue;
    }
    if (reset_in_window(c, s)) return TcpSendResult::Failed;
    if (tcp_is_answer(c, s)) {
      answer = s;
      return TcpSendResult::Answered;
    }
    if (!(s.flags & kTcpAck) || (s.flags & kTcpRst)) continue;
    const u32 una = w.una;
    take_ack(c, data, segment, w, s);
    if (w.una != una) stalls = 0;
  }
  return TcpSendResult::Acknowledged;
}

}  // namespace tavlin
