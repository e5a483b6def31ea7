// ARP and IPv4: the request we send, what the cache learns and our answers; dotted quads, the
// checks on what we receive, and the pump that hands frames over (the checksums we send, Linux and dnsmasq
// check in the network system test).
#include "kernel/net/udp.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

using Ipv4 = NetTest;

// Fragments are refused: nothing here reassembles them. The pump waits five ticks, across the wrap.
TEST_F(Ipv4, DottedQuadsHaveFourPartsUpTo255ReceivedPacketsAreCheckedAgainstEveryLengthAndThePumpWaits) {
  u8 out[4] = {};
  ASSERT_EQ(parse_ipv4("10.0.2.255", out), 1u);
  EXPECT_EQ(bytes(out, 4), (Bytes{10, 0, 2, 255}));
  for (const char* text : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.", "1.2.3.4 ", "1.2.3.-4", ""})
    EXPECT_EQ(parse_ipv4(text, out), 0u) << text;
  Bytes good = udp_frame(kServerIp, kOurIp, 53, 1000, {0x5A});
  good.insert(good.begin() + 34, {1, 1, 1, 0});  // four bytes of IP options move the UDP header
  good[14] = 0x46;
  put(good, 16, 33);
  UdpDatagram d;
  ASSERT_EQ(udp_parse(good.data(), static_cast<u32>(good.size()), d), 1u);
  EXPECT_EQ(std::make_tuple(d.src_port, d.dst_port, d.payload_length, d.payload[0]),
            std::make_tuple(53, 1000, 1u, 0x5A));
  // Version 6; a header below five words or past the frame; an IP total past the frame or below its header; a UDP
  // length past IP or below its header; not IPv4; not UDP; the first fragment of several, and a later one.
  const std::pair<size_t, uint16_t> cases[] = {{14, 0x6600}, {14, 0x4300}, {14, 0x4F00}, {16, 200},     {16, 23},
                                               {42, 30},     {42, 7},      {12, 0x86DD}, {22, 0x4006}, {20, 0x2000},
                                               {20, 0x00B9}};
  for (const auto& [offset, value] : cases) {
    Bytes f = good;
    put(f, offset, value);
    EXPECT_EQ(udp_parse(f.data(), static_cast<u32>(f.size()), d), 0u) << offset << " = " << value;
  }
  for (u32 len = 0; len < good.size(); ++len) EXPECT_EQ(udp_parse(good.data(), len, d), 0u) << len;
  const Bytes a = udp_frame(kServerIp, kOurIp, 1, 2, Bytes(4, 0xA));
  card.incoming = {Bytes(13, 0), ethernet(kOurMac, kPeerMac, 0x86DD, Bytes(40, 0)), a, Bytes(60, 0)};
  net_pump();
  ASSERT_EQ(net_have_ipv4_frame, 1u);
  EXPECT_EQ(bytes(net_ipv4_frame, net_ipv4_frame_len), a);
  EXPECT_EQ(card.incoming.size(), 1u);  // the next one waits
  card.incoming.clear();
  net_have_ipv4_frame = 0;
  pit_ticks = 0xFFFFFFFE;
  net_pump();
  EXPECT_EQ(pit_ticks, 3u);
  EXPECT_EQ(net_have_ipv4_frame, 0u);
}

using Arp = NetTest;

// Up to five broadcast requests; only a reply from the asked address resolves, and IPv4 frames that come
// meanwhile are dropped. Eight entries; a ninth address takes entry 0, a known one is updated in place. A
// request teaches nothing, and only one for our configured address is answered.
TEST_F(Arp, ResolveAsksFiveTimesTheCacheLearnsOnlyWholeRepliesAndOnlyRequestsForOurAddressAreAnswered) {
  u8 mac[6];
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);  // no address of our own yet
  configure();
  const Ip other = {192, 168, 50, 99};
  card.peer = [&](const Bytes&) {
    card.incoming.push_back(udp_frame(kServerIp, kOurIp, 53, 4000, Bytes(20, 1)));
    card.incoming.push_back(arp_reply(other, kPeerMac));
  };
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);
  EXPECT_EQ(card.sent.size(), 5u);
  EXPECT_EQ(arp_cache_lookup(other.data(), mac), 1u);  // still learned
  EXPECT_EQ(net_have_ipv4_frame, 0u);
  card.peer = [&](const Bytes&) { card.incoming.push_back(arp_reply(kServerIp, kPeerMac)); };
  ASSERT_EQ(arp_resolve(kServerIp.data(), mac), 1u);
  EXPECT_EQ(bytes(mac, 6), bytes(kPeerMac));
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 1u);  // from the cache
  // The padding carries nothing old.
  const Bytes request = join({Bytes(6, 0xFF), bytes(kOurMac), {8, 6, 0, 1, 8, 0, 6, 4, 0, 1}, bytes(kOurMac),
                              bytes(kOurIp), Bytes(6, 0), bytes(kServerIp), Bytes(18, 0)});
  EXPECT_EQ(std::vector<Bytes>(card.sent.begin() + 4, card.sent.end()), (std::vector<Bytes>{request, request}));
  SetUp();
  for (uint8_t i = 1; i <= 9; ++i) net_receive_frame(arp_reply({10, 0, 0, i}, kPeerMac).data(), 42);
  Mac changed = kPeerMac;
  changed[5] = 0x99;
  net_receive_frame(arp_reply({10, 0, 0, 5}, changed).data(), 42);
  EXPECT_EQ(bytes(arp_cache[0].ip, 4), (Bytes{10, 0, 0, 9}));
  EXPECT_EQ(bytes(arp_cache[4].mac, 6), bytes(changed));
  Bytes reply = arp_reply(kServerIp, kPeerMac);
  net_receive_frame(reply.data(), 41);
  reply[18] = 8;  // hardware size 8: the addresses are not where we read
  net_receive_frame(reply.data(), 42);
  const auto request_for = [&](const Ip& target) {
    return ethernet(Mac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kPeerMac, 0x0806,
                    arp_packet(1, kPeerMac, kServerIp, Mac{}, target));
  };
  card.incoming.push_back(request_for(kOurIp));  // not configured yet: no answer
  net_pump();
  configure();
  card.incoming.push_back(request_for({192, 168, 50, 11}));
  card.incoming.push_back(request_for(kOurIp));
  net_pump();
  // To the asker, operation 2, our addresses as sender, the asker's as target
  EXPECT_EQ(card.sent, std::vector<Bytes>{join({bytes(kPeerMac), bytes(kOurMac), {8, 6, 0, 1, 8, 0, 6, 4, 0, 2},
                                                bytes(kOurMac), bytes(kOurIp), bytes(kPeerMac), bytes(kServerIp),
                                                Bytes(18, 0)})});
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);
}

}  // namespace
}  // namespace tavlin::nettest
