// TCP client: segment building and matching, the opening handshake, the
// in-order receive of one response and the windowed send of one request.
// One connection at a time, no listening.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u8 kTcpFin = 0x01;
constexpr u8 kTcpSyn = 0x02;
constexpr u8 kTcpRst = 0x04;
constexpr u8 kTcpPsh = 0x08;
constexpr u8 kTcpAck = 0x10;
constexpr u32 kTcpMaxPayload = 1460;
constexpr u16 kTcpWindow = 8192;

// Sequence-space order, correct across the 2^32 wrap.
inline bool seq_before(u32 a, u32 b) { return static_cast<i32>(a - b) < 0; }

// Builds one segment in net_scratch_tx and sends it; the frame length.
u32 tcp_build_and_send(const u8* dst_mac, const u8* dst_ip, u16 src_port, u16 dst_port, u32 seq,
                       u32 ack, u8 flags, const u8* payload, u32 payload_length);
// The same, reporting whether the card took the frame.
u32 tcp_send_segment(const u8* dst_mac, const u8* dst_ip, u16 src_port, u16 dst_port, u32 seq,
                     u32 ack, u8 flags, const u8* payload, u32 payload_length);

struct TcpSegment {
  u32 seq;
  u32 ack;
  u8 flags;
  u16 window;
  const u8* payload;
  u32 payload_length;
};

// 1 when net_ipv4_frame (frame_length bytes) is a segment from peer_ip's
// remote_port to our local_port; every length is checked against the one
// that bounds it.
u32 tcp_frame_matches(u32 frame_length, const u8* peer_ip, u16 local_port, u16 remote_port,
                      TcpSegment& out);

struct TcpConnection {
  u8 peer_ip[4];
  u8 peer_mac[6];
  u16 local_port;
  u16 remote_port;
  u32 iss;      // our initial sequence number
  u32 snd_nxt;
  u32 rcv_nxt;
  u32 peer_iss;
  u16 peer_window;
  // Our last bytes before snd_nxt not yet acknowledged (the request), sent
  // again while the receiver waits in silence.
  const u8* unacked;
  u32 unacked_length;
  u32 received;  // stream bytes taken from the peer, kept or not
};

// Pumps until `deadline` for the next segment of the connection; 1 with it.
u32 tcp_next_segment(const TcpConnection& c, u32 deadline, TcpSegment& out);
// Sends flags (and payload) at snd_nxt acknowledging rcv_nxt.
u32 tcp_send(const TcpConnection& c, u8 flags, const u8* payload, u32 length);
// The same at sequence number `seq` (a segment sent again).
u32 tcp_send_at(const TcpConnection& c, u32 seq, u8 flags, const u8* payload, u32 length);

// Whether seq lies in what we are ready to receive: a RST or FIN from
// anywhere else is someone guessing.
inline bool tcp_seq_in_window(const TcpConnection& c, u32 seq) {
  return !seq_before(seq, c.rcv_nxt) && seq_before(seq, c.rcv_nxt + kTcpWindow);
}
// The peer's answer starts exactly where its stream does; anything else
// (a stray, a forged FIN) is not an answer.
inline bool tcp_is_answer(const TcpConnection& c, const TcpSegment& s) {
  return (s.payload_length || (s.flags & kTcpFin)) && s.seq == c.rcv_nxt;
}

// SYN up to `attempts` times, `wait` ticks each, until a SYN+ACK that
// acknowledges our SYN; then the connection is established (the final ACK
// is the caller's). 0 on a RST that answers our SYN, or silence. An ACK of
// something else (an old connection the peer still keeps on these ports) is
// reset and the SYN sent again at once.
u32 tcp_open(TcpConnection& c, u32 attempts, u32 wait);

// Where received stream bytes go: at most cap bytes are kept, the rest are
// acknowledged and dropped.
struct TcpReceiveBuffer {
  u8* data;
  u32 cap;
  u32& length;
};

// How a received stream ended. Only Closed is the peer's own end of it,
// with every byte before its FIN here.
enum class TcpReceiveEnd { Closed, Reset, Idle, Deadline };

// Collects the peer's byte stream until its FIN, a RST within our window,
// `idle` ticks without new in-order data, or the tick `deadline`; then
// closes our side (not after a RST).
TcpReceiveEnd tcp_receive_stream(TcpConnection& c, TcpReceiveBuffer& in, u32 idle, u32 deadline);

enum class TcpSendResult { Acknowledged, Answered, Failed, TimedOut };

// Sends `length` bytes from snd_nxt in PSH+ACK segments of at most
// `segment` bytes, never more unacknowledged than the peer's window, going
// back to the oldest unacknowledged byte when acknowledgements stall.
// Acknowledged: every byte was acknowledged. Answered: the peer started its
// answer (data or FIN at the start of its stream) first; `answer` holds that
// segment. Failed: a RST within our window, or no progress. TimedOut: the
// tick `deadline` came first.
TcpSendResult tcp_send_stream(TcpConnection& c, const u8* data, u32 length, u32 segment,
                              TcpSegment& answer, u32 deadline);

}  // namespace tavlin
