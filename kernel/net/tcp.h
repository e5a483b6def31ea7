// TCP client: segment building and matching, the opening handshake and the
// in-order receive of one response. One connection at a time, no listening,
// no retransmission of what we receive into.
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
};

// Pumps until `deadline` for the next segment of the connection; 1 with it.
u32 tcp_next_segment(const TcpConnection& c, u32 deadline, TcpSegment& out);
// Sends flags (and payload) at snd_nxt acknowledging rcv_nxt.
u32 tcp_send(const TcpConnection& c, u8 flags, const u8* payload, u32 length);

// SYN up to `attempts` times, `wait` ticks each, until a SYN+ACK that
// acknowledges our SYN; then the connection is established (the final ACK
// is the caller's). 0 on RST or silence.
u32 tcp_open(TcpConnection& c, u32 attempts, u32 wait);

// Collects the peer's byte stream into buf (at most cap bytes kept, the
// rest acknowledged and dropped) until FIN, RST or `idle` ticks without new
// in-order data, then closes our side. 1 when at least one byte arrived.
u32 tcp_receive_stream(TcpConnection& c, u8* buf, u32 cap, u32& length, u32 idle);

enum class TcpSendResult { Acknowledged, Answered, Failed };

// Sends `length` bytes from snd_nxt in PSH+ACK segments of at most
// `segment` bytes, never more unacknowledged than the peer's window, going
// back to the oldest unacknowledged byte when acknowledgements stall.
// Acknowledged: every byte was acknowledged. Answered: the peer sent data
// or FIN first (`answer` holds that segment). Failed: RST or no progress.
TcpSendResult tcp_send_stream(TcpConnection& c, const u8* data, u32 length, u32 segment,
                              TcpSegment& answer);

}  // namespace tavlin
