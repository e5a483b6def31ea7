// IPv4 and UDP rules: header and checksum, routing, dotted quads and the
// checks on received packets.
#include "kernel/net/udp.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

class Ipv4 : public NetTest {};
class Pump : public NetTest {};

TEST(ParseIpv4, AcceptsOnlyFourPartsOfDigitsUpTo255) {
  struct Case {
    const char* text;
    u32 ok;
  } cases[] = {{"1.2.3.4", 1},  {"255.255.255.255", 1}, {"0.0.0.0", 1}, {"1.2.3", 0},
               {"1.2.3.4.5", 0}, {"256.1.1.1", 0},      {"1..2.3", 0},  {"", 0},
               {"1.2.3.4 ", 0},  {".1.2.3", 0},         {"1.2.3.", 0},  {"a.b.c.d", 0},
               {"1.2.3.-4", 0},  {"99999999999.1.1.1", 0}};
  for (const auto& c : cases) {
    u8 out[4] = {};
    EXPECT_EQ(parse_ipv4(c.text, out), c.ok) << c.text;
  }
  u8 out[4];
  ASSERT_EQ(parse_ipv4("10.0.2.15", out), 1u);
  EXPECT_EQ(bytes(out, 4), (Bytes{10, 0, 2, 15}));
}

TEST_F(Ipv4, NextHopByMaskAndGateway) {
  struct Case {
    const char* what;
    Ip mask, gateway, destination, hop;
  } cases[] = {
      {"zero mask is /24, on-link", {}, {10, 0, 2, 1}, {10, 0, 2, 2}, {10, 0, 2, 2}},
      {"zero mask is /24, off-link", {}, {10, 0, 2, 1}, {10, 0, 3, 1}, {10, 0, 2, 1}},
      {"off-link without gateway", {}, {}, {8, 8, 8, 8}, {8, 8, 8, 8}},
      {"/16 on-link", {255, 255, 0, 0}, {10, 0, 0, 1}, {10, 0, 3, 1}, {10, 0, 3, 1}},
      {"/16 off-link", {255, 255, 0, 0}, {10, 0, 0, 1}, {10, 1, 0, 1}, {10, 0, 0, 1}},
  };
  const u8 me[4] = {10, 0, 2, 15};
  std::copy(me, me + 4, net_my_ip);
  for (const auto& c : cases) {
    std::copy(c.mask.begin(), c.mask.end(), net_netmask);
    std::copy(c.gateway.begin(), c.gateway.end(), net_gateway_ip);
    u8 hop[4];
    net_route_next_hop(c.destination.data(), hop);
    EXPECT_EQ(bytes(hop, 4), bytes(c.hop)) << c.what;
  }
}

TEST_F(Ipv4, ChecksumsOfAnyLengthMatchAnIndependentSum) {
  const Ip src = {10, 0, 2, 15}, dst = {10, 0, 2, 3};
  for (uint32_t payload = 0; payload < 40; ++payload) {
    Bytes data(payload);
    for (uint32_t i = 0; i < payload; ++i) data[i] = static_cast<uint8_t>(0xF0 + i * 13);
    const u32 len = udp_build_frame(kPeerMac.data(), src.data(), dst.data(), 0xFFFF, 0xFFFE,
                                    data.data(), payload);
    ASSERT_EQ(len, 42 + payload);
    const Bytes frame = bytes(net_scratch_tx, len);
    EXPECT_EQ(be16_at(frame, 40), reference_l4_checksum(src, dst, 17, slice(frame, 34, 8 + payload), 6))
        << payload;
    EXPECT_EQ(be16_at(frame, 38), 8 + payload);
    EXPECT_EQ(be16_at(frame, 16), 28 + payload);
    EXPECT_EQ(be16_at(frame, 20), 0);  // UDP goes without don't-fragment
    EXPECT_EQ(reference_checksum(slice(frame, 14, 20)), 0) << payload;
  }
}

TEST_F(Ipv4, ReceivedPacketsAreCheckedAgainstEveryLength) {
  const Bytes good = udp_frame(kServerIp, kOurIp, 53, 1000, Bytes(10, 7));
  UdpDatagram d;
  ASSERT_EQ(udp_parse(good.data(), static_cast<u32>(good.size()), d), 1u);
  EXPECT_EQ(d.payload_length, 10u);

  struct Mutation {
    const char* what;
    std::function<void(Bytes&)> apply;
  } cases[] = {
      {"version 6", [](Bytes& f) { f[14] = 0x65; }},
      {"IP total past the frame", [](Bytes& f) { put16(f, 16, 200); }},
      {"IP total below its header", [](Bytes& f) { put16(f, 16, 19); }},
      {"UDP length past IP", [](Bytes& f) { put16(f, 38, 19); }},
      {"UDP length below its header", [](Bytes& f) { put16(f, 38, 7); }},
      {"IHL 15 past the frame", [](Bytes& f) { f[14] = 0x4F; }},
      {"not IPv4", [](Bytes& f) { put16(f, 12, 0x86DD); }},
      {"not UDP", [](Bytes& f) { f[23] = 6; }},
      {"first fragment of several", [](Bytes& f) { put16(f, 20, 0x2000); }},
      {"a later fragment", [](Bytes& f) { put16(f, 20, 0x00B9); }},
  };
  for (auto& c : cases) {
    Bytes f = good;
    c.apply(f);
    EXPECT_EQ(udp_parse(f.data(), static_cast<u32>(f.size()), d), 0u) << c.what;
  }
  for (u32 len = 0; len < good.size(); ++len)
    EXPECT_EQ(udp_parse(good.data(), len, d), 0u) << "truncated to " << len;
  // A header below five words is refused by the IP layer itself; through
  // UDP the shifted header would mostly fail on other checks by chance.
  Ipv4Packet p;
  for (uint8_t ihl = 0; ihl < 5; ++ihl) {
    Bytes f = good;
    f[14] = static_cast<uint8_t>(0x40 | ihl);
    EXPECT_EQ(ipv4_parse(f.data(), static_cast<u32>(f.size()), p), 0u) << "IHL " << ihl;
  }
}

TEST_F(Ipv4, IpOptionsMoveTheUdpHeader) {
  Bytes ip = ipv4_packet(kServerIp, kOurIp, 17, {0, 53, 0x03, 0xE8, 0, 9, 0, 0, 0x5A});
  ip.insert(ip.begin() + 20, {1, 1, 1, 0});  // four bytes of options
  ip[0] = 0x46;
  put16(ip, 2, 33);
  const Bytes f = ethernet(kOurMac, kPeerMac, 0x0800, ip);
  UdpDatagram d;
  ASSERT_EQ(udp_parse(f.data(), static_cast<u32>(f.size()), d), 1u);
  EXPECT_EQ(d.src_port, 53);
  EXPECT_EQ(d.dst_port, 1000);
  ASSERT_EQ(d.payload_length, 1u);
  EXPECT_EQ(d.payload[0], 0x5A);
}

TEST_F(Pump, HandsOverOneIpv4FrameAndKeepsTheNextForLater) {
  const Bytes a = udp_frame(kServerIp, kOurIp, 1, 2, Bytes(4, 0xA));
  const Bytes b = udp_frame(kServerIp, kOurIp, 1, 2, Bytes(4, 0xB));
  card.incoming = {Bytes(13, 0), ethernet(kOurMac, kPeerMac, 0x86DD, Bytes(40, 0)), a, b};
  net_pump();
  ASSERT_EQ(net_have_ipv4_frame, 1u);
  EXPECT_EQ(bytes(net_ipv4_frame, net_ipv4_frame_len), a);
  net_have_ipv4_frame = 0;
  net_pump();
  EXPECT_EQ(bytes(net_ipv4_frame, net_ipv4_frame_len), b);
}

TEST_F(Pump, ReturnsAfterFiveTicksWithNothingWaitingEvenAcrossTheTickWrap) {
  const u32 cases[][2] = {{1000, 1005}, {0xFFFFFFFE, 3}};
  for (const auto& c : cases) {
    pit_ticks = c[0];
    net_pump();
    EXPECT_EQ(pit_ticks, c[1]) << "from " << c[0];
  }
  EXPECT_EQ(net_have_ipv4_frame, 0u);
}

}  // namespace
}  // namespace tavlin::nettest
