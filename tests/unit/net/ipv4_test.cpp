// IPv4 and UDP rules: dotted quads, routing, the checks on what we receive,
// and the pump that hands frames over (the checksums we send, Linux and
// dnsmasq check in the network system test).
#include "kernel/net/udp.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

using Ipv4 = NetTest;

TEST(ParseIpv4, AcceptsOnlyFourPartsOfDigitsUpTo255) {
  u8 out[4] = {};
  ASSERT_EQ(parse_ipv4("10.0.2.255", out), 1u);
  EXPECT_EQ(bytes(out, 4), (Bytes{10, 0, 2, 255}));
  for (const char* text : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.", "1.2.3.4 ", "1.2.3.-4", ""})
    EXPECT_EQ(parse_ipv4(text, out), 0u) << text;
}

TEST_F(Ipv4, NextHopByMaskAndGateway) {
  const std::tuple<const char*, Ip, Ip, Ip, Ip> cases[] = {  // mask, gateway, destination, next hop
      {"zero mask is /24, on-link", {}, {10, 0, 2, 1}, {10, 0, 2, 2}, {10, 0, 2, 2}},
      {"zero mask is /24, off-link", {}, {10, 0, 2, 1}, {10, 0, 3, 1}, {10, 0, 2, 1}},
      {"off-link without gateway", {}, {}, {8, 8, 8, 8}, {8, 8, 8, 8}},
      {"/16 on-link", {255, 255, 0, 0}, {10, 0, 0, 1}, {10, 0, 3, 1}, {10, 0, 3, 1}},
      {"/16 off-link", {255, 255, 0, 0}, {10, 0, 0, 1}, {10, 1, 0, 1}, {10, 0, 0, 1}},
  };
  configure({10, 0, 2, 15});
  for (const auto& [what, mask, gateway, destination, hop] : cases) {
    std::copy(mask.begin(), mask.end(), net_netmask);
    std::copy(gateway.begin(), gateway.end(), net_gateway_ip);
    u8 next[4];
    net_route_next_hop(destination.data(), next);
    EXPECT_EQ(bytes(next, 4), bytes(hop)) << what;
  }
}

// Fragments are refused: nothing here reassembles them.
TEST_F(Ipv4, ReceivedPacketsAreCheckedAgainstEveryLength) {
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
}

TEST_F(Ipv4, PumpHandsOverOneIpv4FrameAndWaitsFiveTicksAcrossTheWrap) {
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

}  // namespace
}  // namespace tavlin::nettest
