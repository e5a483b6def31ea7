// A scripted TCP server behind the scripted card: answers our SYN, reads our
// request and plays back the segments a test lays out, in any order, with
// any flags; and records every segment we send.
#pragma once
#include "kernel/net/tcp.h"
#include "net_fixture.h"

namespace tavlin::nettest {

struct SentSegment {
  uint32_t seq, ack;
  uint8_t flags;
  Bytes payload;
};

inline Bytes tcp_frame(const Ip& src, const Ip& dst, uint16_t sport, uint16_t dport, uint32_t seq,
                       uint32_t ack, uint8_t flags, const Bytes& payload, uint16_t window = 65535) {
  Bytes t = join({be16(sport), be16(dport), Bytes(8, 0), {0x50, flags}, be16(window), Bytes(4, 0), payload});
  put(t, 4, seq, 4);
  put(t, 8, ack, 4);
  put(t, 16, reference_checksum(join({bytes(src), bytes(dst), {0, 6}, be16(t.size()), t})));  // the pseudo-header
  return ethernet(kOurMac, kPeerMac, 0x0800, ipv4_packet(src, dst, 6, t));
}

// One segment the server will send, relative to its first data byte.
struct ServerSegment {
  uint32_t offset;   // from the first byte after the server's SYN
  Bytes data;
  uint8_t flags = kTcpAck | kTcpPsh;
};

class TcpPeer {
 public:
  Ip ip = kServerIp;
  uint32_t iss = 0x7000'0000;  // the server's initial sequence number
  uint16_t port = 80;
  Ip our_ip = kOurIp;
  uint16_t window = 65535;
  bool answer_syn = true;
  bool reset_syn = false;
  // The ports' last connection, still in TIME-WAIT here until our RST at its
  // receive point: a SYN gets that connection's ACK, not a SYN+ACK.
  bool time_wait = false;
  uint32_t time_wait_rcv_nxt = 0x1234'5678;
  int lose_requests = 0;  // our first request segments lost on the way
  std::vector<ServerSegment> script;  // played once the request arrives
  std::vector<SentSegment> from_client;
  Bytes request;
  uint32_t client_iss = 0;
  uint16_t client_port = 0;
  // Reacts to every data segment of ours (for uploads); default: ACK it.
  std::function<void(const SentSegment&)> on_data;

  void attach(NetTest& test, ScriptedCard& card) {
    test.answer_arp_for(ip);
    card_ = &card;
    card.peer = [this, arp = card.peer](const Bytes& f) {
      if (be16_at(f, 12) == 0x0806) return arp(f);
      if (f.size() < 54 || f[23] != 6) return;
      handle({be32_at(f, 38), be32_at(f, 42), f[47], slice(f, 54, be16_at(f, 16) - 40u)}, be16_at(f, 34));
    };
  }

  Bytes segment(uint32_t seq, uint32_t ack, uint8_t flags, const Bytes& data = {}) const {
    return tcp_frame(ip, our_ip, port, client_port, seq, ack, flags, data, window);
  }

 private:
  ScriptedCard* card_ = nullptr;
  bool played_ = false;

  void handle(const SentSegment& s, uint16_t from_port) {
    from_client.push_back(s);
    if (time_wait && s.flags == kTcpRst) time_wait = s.seq != time_wait_rcv_nxt;
    if (s.flags == kTcpSyn) {
      client_iss = s.seq;
      client_port = from_port;
      if (time_wait) card_->incoming.push_back(segment(iss, time_wait_rcv_nxt, kTcpAck));
      else if (reset_syn) card_->incoming.push_back(segment(0, s.seq + 1, kTcpRst | kTcpAck));
      else if (answer_syn) card_->incoming.push_back(segment(iss, s.seq + 1, kTcpSyn | kTcpAck));
      return;
    }
    if (s.payload.empty()) return;
    if (on_data) return on_data(s);
    if (lose_requests > 0 && request.empty()) {
      --lose_requests;
      return;
    }
    request.insert(request.end(), s.payload.begin(), s.payload.end());
    if (played_) return;
    played_ = true;
    for (const auto& seg : script)
      card_->incoming.push_back(segment(iss + 1 + seg.offset, client_iss + 1 + request.size(), seg.flags, seg.data));
  }
};

}  // namespace tavlin::nettest
