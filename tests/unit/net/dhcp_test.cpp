// The DHCP client against a scripted server: the messages it sends, byte by
// byte, and what it takes from the answers.
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

const Ip kOffered = {192, 168, 50, 23};

Bytes opt_type(uint8_t t) { return {53, 1, t}; }
Bytes standard_options(uint8_t type) {
  Bytes o = opt_type(type);
  o.insert(o.end(), {1, 4, 255, 255, 255, 0, 3, 4, 192, 168, 50, 1, 6, 4, 192, 168, 50, 1, 255});
  return o;
}

class Dhcp : public NetTest {
 protected:
  // A server that answers each DISCOVER with `offer` options and each
  // REQUEST with `ack` options (empty: stays silent).
  void serve(Bytes offer, Bytes ack) {
    card.peer = [this, offer, ack](const Bytes& f) {
      if (be16_at(f, 12) != 0x0800 || be16_at(f, 36) != 67) return;
      const uint8_t type = f.at(42 + 242);
      if (type == 1 && !offer.empty()) card.incoming.push_back(dhcp_reply(kOffered, offer));
      if (type == 3 && !ack.empty()) card.incoming.push_back(dhcp_reply(kOffered, ack));
    };
  }
  static Bytes ip4(const u8* p) { return Bytes(p, p + 4); }
};

TEST_F(Dhcp, DiscoverAndRequestAreBuiltByteForByte) {
  serve(standard_options(2), standard_options(5));
  dhcp_configure();
  ASSERT_EQ(card.sent.size(), 2u);
  for (size_t n = 0; n < 2; ++n) {
    const Bytes& f = card.sent[n];
    SCOPED_TRACE(n);
    EXPECT_EQ(slice(f, 0, 6), Bytes(6, 0xFF));
    EXPECT_EQ(slice(f, 6, 6), bytes(kOurMac));
    EXPECT_EQ(be16_at(f, 12), 0x0800);
    EXPECT_EQ(f[14], 0x45);
    EXPECT_EQ(be16_at(f, 16), f.size() - 14);
    EXPECT_EQ(be16_at(f, 18), 2 + n);  // identification incremented first
    EXPECT_EQ(be16_at(f, 20), 0);
    EXPECT_EQ(f[22], 64);
    EXPECT_EQ(f[23], 17);
    EXPECT_EQ(slice(f, 26, 4), Bytes(4, 0));
    EXPECT_EQ(slice(f, 30, 4), Bytes(4, 0xFF));
    EXPECT_EQ(reference_checksum(slice(f, 14, 20)), 0);
    EXPECT_EQ(be16_at(f, 34), 68);
    EXPECT_EQ(be16_at(f, 36), 67);
    EXPECT_EQ(be16_at(f, 38), f.size() - 34);
    EXPECT_EQ(be16_at(f, 40),
              reference_l4_checksum({0, 0, 0, 0}, {255, 255, 255, 255}, 17, slice(f, 34, f.size() - 34), 6));
    EXPECT_EQ(slice(f, 42, 4), (Bytes{1, 1, 6, 0}));
    EXPECT_EQ(be32_at(f, 46), 0x12345679u);  // same xid in both messages
    EXPECT_EQ(be16_at(f, 50), 0);
    EXPECT_EQ(be16_at(f, 52), n == 0 ? 0x0000 : 0x8000);
    EXPECT_EQ(slice(f, 54, 16), Bytes(16, 0));
    EXPECT_EQ(slice(f, 70, 6), bytes(kOurMac));
    EXPECT_EQ(slice(f, 76, 10 + 192), Bytes(202, 0));
    EXPECT_EQ(slice(f, 278, 4), (Bytes{99, 130, 83, 99}));
  }
  EXPECT_EQ(card.sent[0].size(), 42u + 240 + 9);
  EXPECT_EQ(slice(card.sent[0], 282, 9), (Bytes{53, 1, 1, 55, 3, 1, 3, 6, 255}));
  EXPECT_EQ(card.sent[1].size(), 42u + 240 + 15);
  EXPECT_EQ(slice(card.sent[1], 282, 15),
            (Bytes{53, 1, 3, 50, 4, 192, 168, 50, 23, 55, 3, 1, 3, 6, 255}));
}

TEST_F(Dhcp, FullExchangeConfiguresTheInterface) {
  serve(standard_options(2), standard_options(5));
  dhcp_configure();
  EXPECT_EQ(ip4(net_my_ip), bytes(kOffered));
  EXPECT_EQ(ip4(net_netmask), (Bytes{255, 255, 255, 0}));
  EXPECT_EQ(ip4(net_gateway_ip), (Bytes{192, 168, 50, 1}));
  EXPECT_EQ(net_dns_count, 1);
  EXPECT_EQ(ip4(net_dns_servers[0]), (Bytes{192, 168, 50, 1}));
  const std::string log = serial_log();
  EXPECT_NE(log.find("[DHCP] Starting...\n"), std::string::npos);
  EXPECT_NE(log.find("[DHCP] Got IP 192.168.50.23\n[NET] DHCP successful\n"), std::string::npos);
}

TEST_F(Dhcp, ThreeDnsServersKeepTheFirstTwo) {
  Bytes offer = opt_type(2);
  offer.insert(offer.end(), {6, 12, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 255});
  serve(offer, standard_options(5));
  dhcp_configure();
  EXPECT_EQ(net_dns_count, 2);
  EXPECT_EQ(ip4(net_dns_servers[0]), (Bytes{1, 1, 1, 1}));
  EXPECT_EQ(ip4(net_dns_servers[1]), (Bytes{2, 2, 2, 2}));
}

TEST_F(Dhcp, NoDnsOptionLeavesCountZeroAndRouterOfLengthEightIsIgnored) {
  Bytes offer = opt_type(2);
  offer.insert(offer.end(), {3, 8, 10, 0, 0, 1, 10, 0, 0, 2, 255});
  Bytes ack = opt_type(5);
  ack.push_back(255);
  serve(offer, ack);
  dhcp_configure();
  EXPECT_EQ(ip4(net_my_ip), bytes(kOffered));
  EXPECT_EQ(net_dns_count, 0);
  EXPECT_EQ(ip4(net_gateway_ip), Bytes(4, 0));
}

TEST_F(Dhcp, PadOptionsAreSkippedOneByteEach) {
  Bytes offer = {0, 0, 53, 1, 2, 0, 6, 4, 9, 9, 9, 9, 255};
  Bytes ack = {0, 53, 1, 5, 255};
  serve(offer, ack);
  dhcp_configure();
  EXPECT_EQ(ip4(net_my_ip), bytes(kOffered));
  EXPECT_EQ(net_dns_count, 1);
}

TEST_F(Dhcp, AckWithoutOfferIsNotAcceptedAndFailureZeroesEverything) {
  card.peer = [this](const Bytes& f) {
    if (be16_at(f, 36) == 67) card.incoming.push_back(dhcp_reply(kOffered, standard_options(5)));
  };
  std::fill(net_netmask, net_netmask + 4, 0xEE);
  net_dns_count = 2;
  const u32 start = pit_ticks;
  dhcp_configure();
  EXPECT_EQ(card.sent.size(), 3u);  // three DISCOVERs, no REQUEST
  EXPECT_GE(pit_ticks - start, 600u);
  EXPECT_EQ(ip4(net_my_ip), Bytes(4, 0));
  EXPECT_EQ(ip4(net_netmask), Bytes(4, 0));
  EXPECT_EQ(net_dns_count, 0);
  const std::string log = serial_log();
  EXPECT_NE(log.find("[DHCP] Failed\n[NET] DHCP failed; interface left unconfigured\n"),
            std::string::npos);
  EXPECT_EQ(be32_at(card.sent[2], 46), 0x1234567Bu);  // a new xid per attempt
}

TEST_F(Dhcp, OfferWhoseAckNeverComesFailsAfterThreeAttempts) {
  serve(standard_options(2), {});
  dhcp_configure();
  EXPECT_EQ(card.sent.size(), 6u);
  EXPECT_EQ(ip4(net_my_ip), Bytes(4, 0));
  EXPECT_EQ(ip4(net_gateway_ip), Bytes(4, 0));  // taken from the offer, then cleared
}

TEST_F(Dhcp, LinkDownEndsAtOnce) {
  card.link = 0;
  dhcp_configure();
  EXPECT_TRUE(card.sent.empty());
  const std::string log = serial_log();
  EXPECT_NE(log.find("[DHCP] No link\n[NET] DHCP failed; interface left unconfigured\n"),
            std::string::npos);
  EXPECT_EQ(log.find("[DHCP] Failed"), std::string::npos);
}

TEST_F(Dhcp, ClearsTheArpCacheWhenItStarts) {
  arp_cache_learn(kServerIp.data(), kPeerMac.data());
  card.link = 0;
  dhcp_configure();
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);
}

// Malformed option areas: each one is ignored as a whole.
TEST(DhcpOptions, MalformedOptionAreasAreRefused) {
  struct Case {
    const char* what;
    Bytes options;
    u32 ok;
  } cases[] = {
      {"well formed", {53, 1, 2, 255}, 1},
      {"no end", {53, 1, 2}, 0},
      {"length past the packet", {53, 1, 2, 6, 200, 1, 2, 3, 4}, 0},
      {"length byte missing", {53, 1, 2, 6}, 0},
      {"empty", {}, 0},
      {"only pads", Bytes(40, 0), 0},
  };
  for (const auto& c : cases) {
    const Bytes m = dhcp_reply_message(kOffered, c.options);
    DhcpOptions o;
    EXPECT_EQ(dhcp_parse_options(m.data(), static_cast<u32>(m.size()), o), c.ok) << c.what;
  }
}

TEST(DhcpOptions, WalkStopsPast311BytesWithoutAnEnd) {
  Bytes options = {53, 1, 2};
  while (options.size() < 400) options.insert(options.end(), {250, 8, 0, 0, 0, 0, 0, 0, 0, 0});
  options.push_back(255);
  const Bytes m = dhcp_reply_message(kOffered, options);
  DhcpOptions o;
  EXPECT_EQ(dhcp_parse_options(m.data(), static_cast<u32>(m.size()), o), 0u);
}

TEST_F(Dhcp, RepliesFromWrongPortsOrWithoutCookieAreIgnored) {
  const Bytes good = dhcp_reply(kOffered, standard_options(2));
  const u8* msg = nullptr;
  DhcpOptions o;
  ASSERT_EQ(dhcp_parse_reply(good.data(), static_cast<u32>(good.size()), msg, o), 1u);
  EXPECT_EQ(o.message_type, 2u);
  Bytes f = dhcp_reply_message(kOffered, standard_options(2));
  f[236] = 98;
  Bytes bad_cookie = udp_frame(kServerIp, kOurIp, 67, 68, f);
  EXPECT_EQ(dhcp_parse_reply(bad_cookie.data(), static_cast<u32>(bad_cookie.size()), msg, o), 0u);
  Bytes wrong_port = udp_frame(kServerIp, kOurIp, 67, 69, dhcp_reply_message(kOffered, {255}));
  EXPECT_EQ(dhcp_parse_reply(wrong_port.data(), static_cast<u32>(wrong_port.size()), msg, o), 0u);
  Bytes short_msg = udp_frame(kServerIp, kOurIp, 67, 68, Bytes(239, 0));
  EXPECT_EQ(dhcp_parse_reply(short_msg.data(), static_cast<u32>(short_msg.size()), msg, o), 0u);
}

TEST_F(Dhcp, GatewayTestOnlyWhenConfigured) {
  net_test_gateway();
  EXPECT_TRUE(card.sent.empty());
  configure();
  answer_arp_for(kServerIp);
  net_test_gateway();
  const std::string log = serial_log();
  EXPECT_NE(log.find("[NET] Testing gateway ARP...\n"), std::string::npos);
  EXPECT_NE(log.find("[NET] Gateway ARP succeeded\n"), std::string::npos);
}

}  // namespace
}  // namespace tavlin::nettest
