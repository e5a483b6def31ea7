// The DHCP client against a scripted server: the messages it sends, byte by
// byte, and what it takes from the answers.
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

const Ip kOffered = {192, 168, 50, 23};

// Message type, server identifier 192.168.50.2, netmask /24, router and one
// DNS server 192.168.50.1, end.
Bytes standard_options(uint8_t type) {
  return {53, 1, type, 54, 4, 192, 168, 50, 2, 1, 4, 255, 255, 255, 0,
          3, 4, 192, 168, 50, 1, 6, 4, 192, 168, 50, 1, 255};
}

class Dhcp : public NetTest {
 protected:
  // A server that answers each DISCOVER with `offer` options and each
  // REQUEST with `ack` options (empty: stays silent), in that transaction.
  void serve(Bytes offer, Bytes ack) {
    card.peer = [this, offer, ack](const Bytes& f) {
      if (be16_at(f, 12) != 0x0800 || be16_at(f, 36) != 67) return;
      const uint8_t type = f.at(42 + 242);
      const Bytes& options = type == 1 ? offer : ack;
      if (options.empty()) return;
      card.incoming.push_back(udp_frame(kServerIp, {255, 255, 255, 255}, 67, 68,
                                        dhcp_reply_message(kOffered, options, be32_at(f, 46)),
                                        Mac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    };
  }
};

TEST_F(Dhcp, ExchangeIsBuiltByteForByteAndConfiguresTheInterface) {
  serve(standard_options(2), standard_options(5));
  dhcp_configure();
  ASSERT_EQ(card.sent.size(), 2u);
  for (size_t n = 0; n < 2; ++n) {
    const Bytes& f = card.sent[n];
    SCOPED_TRACE(n == 0 ? "DISCOVER" : "REQUEST");
    // broadcast from 0.0.0.0, port 68 to 67
    EXPECT_EQ(slice(f, 0, 6), Bytes(6, 0xFF));
    EXPECT_EQ(slice(f, 26, 12), join({Bytes(4, 0), Bytes(4, 0xFF), {0, 68, 0, 67}}));
    // op, htype, hlen, hops, one xid for both, secs; both ask for a broadcast answer
    EXPECT_EQ(slice(f, 42, 12), (Bytes{1, 1, 6, 0, 0x12, 0x34, 0x56, 0x79, 0, 0, 0x80, 0}));
    EXPECT_EQ(slice(f, 70, 6), bytes(kOurMac));
    EXPECT_EQ(slice(f, 278, 4), (Bytes{99, 130, 83, 99}));
  }
  EXPECT_EQ(slice(card.sent[0], 282, card.sent[0].size() - 282), (Bytes{53, 1, 1, 55, 3, 1, 3, 6, 255}));
  EXPECT_EQ(slice(card.sent[1], 282, card.sent[1].size() - 282),
            (Bytes{53, 1, 3, 50, 4, 192, 168, 50, 23, 54, 4, 192, 168, 50, 2, 55, 3, 1, 3, 6, 255}));

  EXPECT_EQ(bytes(net_my_ip, 4), bytes(kOffered));
  EXPECT_EQ(bytes(net_netmask, 4), (Bytes{255, 255, 255, 0}));
  EXPECT_EQ(bytes(net_gateway_ip, 4), (Bytes{192, 168, 50, 1}));
  EXPECT_EQ(net_dns_count, 1);
  EXPECT_EQ(bytes(net_dns_servers[0], 4), (Bytes{192, 168, 50, 1}));
}

TEST_F(Dhcp, OfferOptionsDecideGatewayAndDnsServers) {
  struct Case {
    const char* what;
    Bytes offer, ack;
    Ip gateway;
    i32 dns_count;
    Ip dns0, dns1;
  } cases[] = {
      {"three DNS servers keep the first two",
       {53, 1, 2, 6, 12, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 255}, standard_options(5), {}, 2,
       {1, 1, 1, 1}, {2, 2, 2, 2}},
      {"router of length 8 is ignored, no DNS option",
       {53, 1, 2, 3, 8, 10, 0, 0, 1, 10, 0, 0, 2, 255}, {53, 1, 5, 255}, {}, 0, {}, {}},
      {"pad options are skipped one byte each",
       {0, 0, 53, 1, 2, 0, 6, 4, 9, 9, 9, 9, 255}, {0, 53, 1, 5, 255}, {}, 1, {9, 9, 9, 9}, {}},
  };
  for (const auto& c : cases) {
    card = ScriptedCard{};
    SetUp();
    serve(c.offer, c.ack);
    dhcp_configure();
    EXPECT_EQ(bytes(net_my_ip, 4), bytes(kOffered)) << c.what;
    EXPECT_EQ(bytes(net_gateway_ip, 4), bytes(c.gateway)) << c.what;
    EXPECT_EQ(net_dns_count, c.dns_count) << c.what;
    EXPECT_EQ(bytes(net_dns_servers[0], 4), bytes(c.dns0)) << c.what;
    EXPECT_EQ(bytes(net_dns_servers[1], 4), bytes(c.dns1)) << c.what;
  }
}

TEST_F(Dhcp, RepliesToAnotherTransactionOrClientAreIgnored) {
  const struct {
    const char* what;
    uint32_t xid_change;
    uint8_t chaddr_change;
  } cases[] = {{"another xid", 1, 0}, {"another client's hardware address", 0, 1}};
  for (const auto& c : cases) {
    card = ScriptedCard{};
    SetUp();
    card.peer = [&](const Bytes& f) {
      if (be16_at(f, 36) != 67) return;
      const uint8_t type = f.at(42 + 242) == 1 ? 2 : 5;
      Bytes m = dhcp_reply_message(kOffered, standard_options(type), be32_at(f, 46) + c.xid_change);
      m[28 + 5] = static_cast<uint8_t>(m[28 + 5] + c.chaddr_change);
      card.incoming.push_back(udp_frame(kServerIp, {255, 255, 255, 255}, 67, 68, m));
    };
    dhcp_configure();
    EXPECT_EQ(card.sent.size(), 3u) << c.what;  // three DISCOVERs, no REQUEST
    EXPECT_EQ(bytes(net_my_ip, 4), Bytes(4, 0)) << c.what;
  }
}

TEST_F(Dhcp, AckWithoutOfferIsNotAcceptedAndFailureZeroesEverything) {
  card.peer = [this](const Bytes& f) {
    if (be16_at(f, 36) == 67) card.incoming.push_back(dhcp_reply(kOffered, standard_options(5)));
  };
  std::fill(net_netmask, net_netmask + 4, 0xEE);
  net_dns_count = 2;
  dhcp_configure();
  ASSERT_EQ(card.sent.size(), 3u);  // three DISCOVERs, no REQUEST
  EXPECT_EQ(be32_at(card.sent[2], 46), 0x1234567Bu);  // a new xid per attempt
  EXPECT_GE(pit_ticks, 600u);
  EXPECT_EQ(bytes(net_my_ip, 4), Bytes(4, 0));
  EXPECT_EQ(bytes(net_netmask, 4), Bytes(4, 0));
  EXPECT_EQ(net_dns_count, 0);
}

TEST_F(Dhcp, OfferWhoseAckNeverComesFailsAfterThreeAttempts) {
  serve(standard_options(2), {});
  dhcp_configure();
  EXPECT_EQ(card.sent.size(), 6u);
  EXPECT_EQ(bytes(net_my_ip, 4), Bytes(4, 0));
  EXPECT_EQ(bytes(net_gateway_ip, 4), Bytes(4, 0));  // taken from the offer, then cleared
}

TEST_F(Dhcp, LinkDownEndsAtOnceAfterClearingTheArpCache) {
  arp_cache_learn(kServerIp.data(), kPeerMac.data());
  card.link = 0;
  dhcp_configure();
  EXPECT_TRUE(card.sent.empty());
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);
}

// A reply from the wrong port, without the cookie, or whose option area does
// not end properly is ignored as a whole.
TEST(DhcpReply, OnlyWellFormedRepliesBetweenTheDhcpPortsAreTaken) {
  Bytes late_end = {53, 1, 2};
  while (late_end.size() < 400) late_end.insert(late_end.end(), {250, 8, 0, 0, 0, 0, 0, 0, 0, 0});
  late_end.push_back(255);
  Bytes no_cookie = dhcp_reply_message(kOffered, standard_options(2));
  no_cookie[236] = 98;
  const auto udp = [](uint16_t from, uint16_t to, const Bytes& m) {
    return udp_frame(kServerIp, kOurIp, from, to, m);
  };
  struct Case {
    const char* what;
    Bytes frame;
    u32 ok;
  } cases[] = {
      {"well formed", dhcp_reply(kOffered, standard_options(2)), 1},
      {"no cookie", udp(67, 68, no_cookie), 0},
      {"to port 69", udp(67, 69, dhcp_reply_message(kOffered, {53, 1, 2, 255})), 0},
      {"from port 66", udp(66, 68, dhcp_reply_message(kOffered, {53, 1, 2, 255})), 0},
      {"shorter than the cookie", udp(67, 68, Bytes(239, 0)), 0},
      {"options without an end", dhcp_reply(kOffered, {53, 1, 2}), 0},
      {"option length past the packet", dhcp_reply(kOffered, {53, 1, 2, 6, 200, 1, 2, 3, 4}), 0},
      {"option length byte missing", dhcp_reply(kOffered, {53, 1, 2, 6}), 0},
      {"no options", dhcp_reply(kOffered, {}), 0},
      {"only pads", dhcp_reply(kOffered, Bytes(40, 0)), 0},
      {"end only after 311 bytes", dhcp_reply(kOffered, late_end), 0},
  };
  for (const auto& c : cases) {
    const u8* msg = nullptr;
    DhcpOptions o{};
    EXPECT_EQ(dhcp_parse_reply(c.frame.data(), static_cast<u32>(c.frame.size()), msg, o), c.ok) << c.what;
    if (c.ok) EXPECT_EQ(o.message_type, 2u);
  }
}

TEST_F(Dhcp, GatewayTestOnlyWhenConfigured) {
  net_test_gateway();
  EXPECT_TRUE(card.sent.empty());
  configure();
  answer_arp_for(kServerIp);
  net_test_gateway();
  EXPECT_EQ(card.sent.size(), 1u);
}

}  // namespace
}  // namespace tavlin::nettest
