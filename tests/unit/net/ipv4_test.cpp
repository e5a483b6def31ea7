// IPv4 and UDP rules: header and checksum, routing, dotted quads and the
// checks on received packets.
#include "kernel/net/udp.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

class Ipv4 : public NetTest {};

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
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{10, 0, 2, 15}));
}

TEST_F(Ipv4, ZeroNetmaskMeansSlash24) {
  const u8 me[4] = {10, 0, 2, 15}, gw[4] = {10, 0, 2, 1};
  std::copy(me, me + 4, net_my_ip);
  std::copy(gw, gw + 4, net_gateway_ip);
  u8 hop[4];
  const u8 near[4] = {10, 0, 2, 2}, far[4] = {10, 0, 3, 1};
  net_route_next_hop(near, hop);
  EXPECT_EQ(Bytes(hop, hop + 4), Bytes(near, near + 4));
  net_route_next_hop(far, hop);
  EXPECT_EQ(Bytes(hop, hop + 4), Bytes(gw, gw + 4));
}

TEST_F(Ipv4, OffLinkWithoutGatewayIsItsOwnHopAndMaskIsHonoured) {
  const u8 me[4] = {10, 0, 2, 15}, mask[4] = {255, 255, 0, 0};
  std::copy(me, me + 4, net_my_ip);
  u8 hop[4];
  const u8 far[4] = {8, 8, 8, 8};
  net_route_next_hop(far, hop);
  EXPECT_EQ(Bytes(hop, hop + 4), Bytes(far, far + 4));
  std::copy(mask, mask + 4, net_netmask);
  const u8 gw[4] = {10, 0, 0, 1}, wide[4] = {10, 0, 3, 1};
  std::copy(gw, gw + 4, net_gateway_ip);
  net_route_next_hop(wide, hop);
  EXPECT_EQ(Bytes(hop, hop + 4), Bytes(wide, wide + 4));
}

TEST_F(Ipv4, HeaderChecksumMatchesIndependentSum) {
  const u8 src[4] = {10, 0, 2, 15}, dst[4] = {93, 184, 216, 34};
  u8 h[20];
  ipv4_write_header(h, 0x1234, 0xBEEF, 0x4000, 6, src, dst);
  Bytes header(h, h + 20);
  EXPECT_EQ(header[0], 0x45);
  EXPECT_EQ(header[8], 64);
  EXPECT_EQ(be16_at(header, 6), 0x4000);
  const uint16_t stored = be16_at(header, 10);
  header[10] = header[11] = 0;
  EXPECT_EQ(stored, reference_checksum(header));
  header[10] = static_cast<uint8_t>(stored >> 8);
  header[11] = static_cast<uint8_t>(stored);
  EXPECT_EQ(reference_checksum(header), 0);  // a receiver's check sums to zero
}

TEST_F(Ipv4, UdpChecksumOfOddLengthMatchesIndependentSum) {
  const Ip src = {10, 0, 2, 15}, dst = {10, 0, 2, 3};
  for (uint32_t payload = 0; payload < 40; ++payload) {
    Bytes data(payload);
    for (uint32_t i = 0; i < payload; ++i) data[i] = static_cast<uint8_t>(0xF0 + i * 13);
    const u32 len = udp_build_frame(kPeerMac.data(), src.data(), dst.data(), 0xFFFF, 0xFFFE,
                                    data.data(), payload);
    ASSERT_EQ(len, 42 + payload);
    Bytes frame(net_scratch_tx, net_scratch_tx + len);
    EXPECT_EQ(be16_at(frame, 40), reference_l4_checksum(src, dst, 17, slice(frame, 34, 8 + payload), 6))
        << payload;
    EXPECT_EQ(be16_at(frame, 38), 8 + payload);
    EXPECT_EQ(be16_at(frame, 16), 28 + payload);
    EXPECT_EQ(be16_at(frame, 20), 0);  // UDP goes without don't-fragment
  }
}

TEST_F(Ipv4, UdpBuilderTakesTheNextIdentification) {
  g_ip_id = 41;
  udp_build_frame(kPeerMac.data(), kOurIp.data(), kServerIp.data(), 1, 2, nullptr, 0);
  EXPECT_EQ(be16_at(Bytes(net_scratch_tx, net_scratch_tx + 42), 18), 42);
  EXPECT_EQ(g_ip_id, 42);
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
      {"IHL 4", [](Bytes& f) { f[14] = 0x44; }},
      {"IHL 0", [](Bytes& f) { f[14] = 0x40; }},
      {"version 6", [](Bytes& f) { f[14] = 0x65; }},
      {"IP total past the frame", [](Bytes& f) { put16(f, 16, 200); }},
      {"IP total below its header", [](Bytes& f) { put16(f, 16, 19); }},
      {"UDP length past IP", [](Bytes& f) { put16(f, 38, 19); }},
      {"UDP length below its header", [](Bytes& f) { put16(f, 38, 7); }},
      {"IHL 15 past the frame", [](Bytes& f) { f[14] = 0x4F; }},
      {"not IPv4", [](Bytes& f) { put16(f, 12, 0x86DD); }},
      {"not UDP", [](Bytes& f) { f[23] = 6; }},
  };
  for (auto& c : cases) {
    Bytes f = good;
    c.apply(f);
    EXPECT_EQ(udp_parse(f.data(), static_cast<u32>(f.size()), d), 0u) << c.what;
  }
  for (u32 len = 0; len < good.size(); ++len)
    EXPECT_EQ(udp_parse(good.data(), len, d), 0u) << "truncated to " << len;
}

TEST_F(Ipv4, IpOptionsMoveTheUdpHeader) {
  Bytes u = {0, 53, 0x03, 0xE8, 0, 9, 0, 0, 0x5A};
  Bytes ip = {0x46, 0, 0, 33, 0, 1, 0, 0, 64, 17, 0, 0};
  ip.insert(ip.end(), kServerIp.begin(), kServerIp.end());
  ip.insert(ip.end(), kOurIp.begin(), kOurIp.end());
  ip.insert(ip.end(), {1, 1, 1, 0});  // four bytes of options
  ip.insert(ip.end(), u.begin(), u.end());
  const Bytes f = ethernet(kOurMac, kPeerMac, 0x0800, ip);
  UdpDatagram d;
  ASSERT_EQ(udp_parse(f.data(), static_cast<u32>(f.size()), d), 1u);
  EXPECT_EQ(d.src_port, 53);
  EXPECT_EQ(d.dst_port, 1000);
  ASSERT_EQ(d.payload_length, 1u);
  EXPECT_EQ(d.payload[0], 0x5A);
}

class Pump : public NetTest {};

TEST_F(Pump, HandsOverOneIpv4FrameAndKeepsTheNextForLater) {
  const Bytes a = udp_frame(kServerIp, kOurIp, 1, 2, Bytes(4, 0xA));
  const Bytes b = udp_frame(kServerIp, kOurIp, 1, 2, Bytes(4, 0xB));
  card.incoming = {Bytes(13, 0), ethernet(kOurMac, kPeerMac, 0x86DD, Bytes(40, 0)), a, b};
  net_pump();
  ASSERT_EQ(net_have_ipv4_frame, 1u);
  EXPECT_EQ(Bytes(net_ipv4_frame, net_ipv4_frame + net_ipv4_frame_len), a);
  net_have_ipv4_frame = 0;
  net_pump();
  EXPECT_EQ(Bytes(net_ipv4_frame, net_ipv4_frame + net_ipv4_frame_len), b);
  const std::string log = serial_log();
  EXPECT_NE(log.find("[NET] Received packet, len=13\n"), std::string::npos);
  EXPECT_NE(log.find("[NET] Ethertype=0x86DD\n"), std::string::npos);
}

TEST_F(Pump, ReturnsAfterFiveTicksWithNothingWaiting) {
  pit_ticks = 1000;
  net_pump();
  EXPECT_EQ(pit_ticks, 1005u);
  EXPECT_EQ(net_have_ipv4_frame, 0u);
}

TEST_F(Pump, DeadlineSurvivesTickCounterWrap) {
  pit_ticks = 0xFFFFFFFE;
  net_pump();
  EXPECT_EQ(pit_ticks, 3u);
}

}  // namespace
}  // namespace tavlin::nettest
