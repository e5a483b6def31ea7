// Shared pieces of the network unit tests: a scripted card behind the card seam,
// frame builders for what peers send, and an independent Internet checksum.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/timer.h"
#include "kernel/net/arp.h"
#include "kernel/net/dhcp.h"
#include "kernel/net/ethernet.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"

namespace tavlin::nettest {

using Bytes = std::vector<uint8_t>;
using Ip = std::array<uint8_t, 4>;
using Mac = std::array<uint8_t, 6>;

inline const Mac kOurMac = {0x52, 0x54, 0x00, 0x12, 0x34, 0x56};
inline const Mac kPeerMac = {0x02, 0x00, 0x00, 0xAA, 0xBB, 0xCC};
inline const Ip kOurIp = {192, 168, 50, 10};
inline const Ip kServerIp = {192, 168, 50, 1};

// A card that records what the stack sends and hands it what a test (or a peer
// reacting to each sent frame or poll) queues. Each poll of an empty card is
// a tick, so every wait ends.
struct ScriptedCard {
  std::vector<Bytes> sent;
  std::deque<Bytes> incoming;
  std::function<void(const Bytes&)> peer;
  std::function<void()> before_poll;
  uint32_t link = 1;
  uint32_t polls = 0;

  static inline ScriptedCard* current = nullptr;
  static u32 send(const u8* frame, u32 length) {
    current->sent.emplace_back(frame, frame + length);
    if (current->peer) current->peer(current->sent.back());
    return 1;
  }
  static u32 poll(u8* buffer) {
    ScriptedCard* c = current;
    ++c->polls;
    if (c->before_poll) c->before_poll();
    if (c->incoming.empty()) {
      pit_ticks = pit_ticks + 1;
      return 0;
    }
    const Bytes f = std::move(c->incoming.front());
    c->incoming.pop_front();
    const size_t n = std::min<size_t>(f.size(), kNicBufferSize);
    std::copy(f.begin(), f.begin() + static_cast<long>(n), buffer);
    return static_cast<u32>(n);
  }
  static u32 link_up() { return current->link; }
};

// Resets every network global and the fake hardware (its UART is ready from reset).
inline void reset_network() {
  fake_hw::reset();
  pit_ticks = 0;
  nic_detach();
  net_config_clear();
  for (auto& e : arp_cache) e = {};
  g_ip_id = 1;
  dhcp_xid = kDhcpXidStart;
  net_have_ipv4_frame = 0;
}

// The serial log holds `text` somewhere; a failure names the text looked for.
inline ::testing::AssertionResult logged(const std::string& text) {
  std::string log;
  for (uint8_t c : fake_hw::bytes_written_to(0x3F8))
    if (c != '\r') log.push_back(static_cast<char>(c));
  if (log.find(text) == std::string::npos)
    return ::testing::AssertionFailure() << "not in the serial log: " << text;
  return ::testing::AssertionSuccess();
}

inline uint16_t be16_at(const Bytes& f, size_t off) { return static_cast<uint16_t>(f.at(off) << 8 | f.at(off + 1)); }
inline uint32_t be32_at(const Bytes& f, size_t off) {
  return static_cast<uint32_t>(be16_at(f, off)) << 16 | be16_at(f, off + 2);
}
// Writes `v` big-endian into the `n` bytes at `off`.
inline void put(Bytes& f, size_t off, uint32_t v, size_t n = 2) {
  for (size_t i = 0; i < n; ++i) f.at(off + i) = static_cast<uint8_t>(v >> (8 * (n - 1 - i)));
}
inline Bytes be16(size_t v) { return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }
inline Bytes slice(const Bytes& f, size_t off, size_t n) {
  return Bytes(f.begin() + static_cast<long>(off), f.begin() + static_cast<long>(off + n));
}
template <size_t N>
inline Bytes bytes(const std::array<uint8_t, N>& a) {
  return Bytes(a.begin(), a.end());
}
inline Bytes bytes(const u8* p, size_t n) { return Bytes(p, p + n); }
inline Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
inline Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline std::string str(const Bytes& b) { return std::string(b.begin(), b.end()); }
// Bytes that differ from their neighbours and do not repeat every 256.
inline Bytes pattern(size_t n, uint8_t seed = 0) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
  return b;
}

// RFC 1071 word by word, the carry folded back at each step (not the kernel's way).
inline uint16_t reference_checksum(const Bytes& data) {
  uint16_t sum = 0;
  for (size_t i = 0; i < data.size(); i += 2) {
    const uint32_t s = sum + (data[i] << 8 | (i + 1 < data.size() ? data[i + 1] : 0));
    sum = static_cast<uint16_t>((s & 0xFFFF) + (s >> 16));
  }
  return static_cast<uint16_t>(~sum);
}

inline Bytes ethernet(const Mac& dst, const Mac& src, uint16_t type, const Bytes& payload) {
  return join({bytes(dst), bytes(src), be16(type), payload});
}

inline Bytes arp_packet(uint16_t op, const Mac& sender_mac, const Ip& sender_ip, const Mac& target_mac,
                        const Ip& target_ip) {
  return join({{0, 1, 0x08, 0x00, 6, 4}, be16(op), bytes(sender_mac), bytes(sender_ip), bytes(target_mac),
               bytes(target_ip)});
}

inline Bytes arp_reply(const Ip& sender_ip, const Mac& sender_mac) {
  return ethernet(kOurMac, sender_mac, 0x0806, arp_packet(2, sender_mac, sender_ip, kOurMac, kOurIp));
}

// An IPv4 packet with a correct header checksum around `l4`.
inline Bytes ipv4_packet(const Ip& src, const Ip& dst, uint8_t protocol, const Bytes& l4) {
  Bytes h = join({{0x45, 0}, be16(20 + l4.size()), {0x12, 0x34, 0x40, 0, 64, protocol, 0, 0}, bytes(src), bytes(dst)});
  put(h, 10, reference_checksum(h));
  return join({h, l4});
}

// A datagram without a checksum (zero: none computed).
inline Bytes udp_frame(const Ip& src, const Ip& dst, uint16_t sport, uint16_t dport, const Bytes& payload) {
  const Bytes u = join({be16(sport), be16(dport), be16(8 + payload.size()), {0, 0}, payload});
  return ethernet(kOurMac, kPeerMac, 0x0800, ipv4_packet(src, dst, 17, u));
}

// A DNS server's reply to the query frame `f`: one A record for `address`, from `from` to the query's port
// shifted by `port_delta`.
inline Bytes dns_reply(const Bytes& f, const Ip& from, const Ip& address, int port_delta = 0) {
  const Bytes question = slice(f, 42 + 12, be16_at(f, 38) - 8 - 12);
  const Bytes m = join({{0x12, 0x34, 0x81, 0x80, 0, 1, 0, 1, 0, 0, 0, 0}, question,
                        {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0x0E, 0x10, 0, 4}, bytes(address)});
  return udp_frame(from, kOurIp, 53, static_cast<uint16_t>(be16_at(f, 34) + port_delta), m);
}

// A test fixture with the scripted card attached.
class NetTest : public ::testing::Test {
 protected:
  ScriptedCard card;
  void SetUp() override {
    reset_network();
    card = ScriptedCard{};
    ScriptedCard::current = &card;
    static const NicDriver driver = {ScriptedCard::send, ScriptedCard::poll, ScriptedCard::link_up};
    nic_attach(driver, kOurMac.data());
  }
  // No address left behind: with no scripted card a later test's network call would wait forever.
  void TearDown() override {
    nic_detach();
    net_config_clear();
    ScriptedCard::current = nullptr;
  }
  void configure(const Ip& ip = kOurIp) {
    std::copy(ip.begin(), ip.end(), net_my_ip);
    const u8 mask[4] = {255, 255, 255, 0};
    std::copy(mask, mask + 4, net_netmask);
    std::copy(kServerIp.begin(), kServerIp.end(), net_gateway_ip);
  }

 public:
  // Makes the peer answer ARP requests for `ip`.
  void answer_arp_for(const Ip& ip) {
    card.peer = [this, ip, previous = card.peer](const Bytes& f) {
      if (be16_at(f, 12) == 0x0806 && slice(f, 38, 4) == bytes(ip))
        card.incoming.push_back(arp_reply(ip, kPeerMac));
      else if (previous)
        previous(f);
    };
  }
};

}  // namespace tavlin::nettest
