// The DHCP client against a scripted server: what a stock server needs in
// our messages, what we take from its answers and which answers we ignore.
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

const Ip kOffered = {192, 168, 50, 23};

// Message type, server identifier 192.168.50.2, netmask /24, router
// 192.168.50.1, three DNS servers (we keep two), end.
Bytes standard(uint8_t type) {
  return {53, 1, type, 54, 4, 192, 168, 50, 2, 1, 4, 255, 255, 255, 0, 3, 4, 192, 168, 50, 1,
          6, 12, 192, 168, 50, 1, 1, 1, 1, 1, 9, 9, 9, 9, 255};
}

// A BOOTREPLY offering kOffered to our address, the options after the magic cookie.
Bytes reply(const Bytes& options, uint32_t xid = 0x12345679, uint16_t to_port = 68) {
  Bytes m = join({{2, 1, 6, 0}, Bytes(12, 0), bytes(kOffered), Bytes(8, 0), bytes(kOurMac), Bytes(202, 0),
                  {99, 130, 83, 99}, options});
  put(m, 4, xid, 4);
  return udp_frame(kServerIp, {255, 255, 255, 255}, 67, to_port, m);
}

class Dhcp : public NetTest {
 protected:
  // Answers DISCOVER with `offer`, REQUEST with `ack` (empty: silence), to our transaction and address by default.
  void serve(const Bytes& offer, const Bytes& ack, uint32_t xid_change = 0, uint8_t mac_change = 0) {
    card.peer = [=, this](const Bytes& f) {
      const Bytes& options = f.at(42 + 242) == 1 ? offer : ack;
      Bytes r = reply(options, be32_at(f, 46) + xid_change);
      r[42 + 28 + 5] = static_cast<uint8_t>(r[42 + 28 + 5] + mac_change);
      if (!options.empty()) card.incoming.push_back(r);
    };
  }
};

// Without an address we cannot take a unicast answer, so each message asks for a broadcast one; a stock server
// wants the REQUEST to name it. Three attempts, each in a new transaction; then nothing is kept.
TEST_F(Dhcp, OnlyOurOwnOfferAndAckConfigure) {
  const std::tuple<const char*, Bytes, Bytes, uint32_t, uint8_t, size_t> cases[] = {
      {"a standard exchange", standard(2), standard(5), 0, 0, 2},
      {"another transaction", standard(2), standard(5), 1, 0, 3},
      {"another client's hardware address", standard(2), standard(5), 0, 1, 3},
      {"an ACK without an offer", standard(5), standard(5), 0, 0, 3},
      {"an offer whose ACK never comes", standard(2), {}, 0, 0, 6},
  };
  const Bytes leased = join({bytes(kOffered), {255, 255, 255, 0, 192, 168, 50, 1}});
  for (const auto& [what, offer, ack, xid_change, mac_change, sent] : cases) {
    SetUp();
    serve(offer, ack, xid_change, mac_change);
    dhcp_configure();
    const bool configured = sent == 2;
    ASSERT_EQ(card.sent.size(), sent) << what;
    for (const Bytes& f : card.sent) EXPECT_EQ(be16_at(f, 52), 0x8000) << what;
    EXPECT_EQ(be32_at(card.sent.back(), 46), configured ? 0x12345679u : 0x1234567Bu) << what;
    const Bytes config = join({bytes(net_my_ip, 4), bytes(net_netmask, 4), bytes(net_gateway_ip, 4)});
    EXPECT_EQ(config, configured ? leased : Bytes(12, 0)) << what;
    EXPECT_EQ(net_dns_count, configured ? 2 : 0) << what;
    if (configured) EXPECT_EQ(bytes(&net_dns_servers[0][0], 8), (Bytes{192, 168, 50, 1, 1, 1, 1, 1}));
  }
  EXPECT_EQ(slice(card.sent[1], 282, 15), (Bytes{53, 1, 3, 50, 4, 192, 168, 50, 23, 54, 4, 192, 168, 50, 2}));
}

TEST_F(Dhcp, LinkDownEndsAtOnceAndTheGatewayIsTestedOnlyWhenConfigured) {
  arp_cache_learn(kServerIp.data(), kPeerMac.data());
  card.link = 0;
  dhcp_configure();
  net_test_gateway();
  EXPECT_TRUE(card.sent.empty());
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);  // the cache starts afresh
  configure();
  answer_arp_for(kServerIp);
  net_test_gateway();
  EXPECT_EQ(card.sent.size(), 1u);
}

// Option areas are walked only as far as the packet and 311 bytes go.
TEST(DhcpReply, OnlyWellFormedRepliesBetweenTheDhcpPortsAreTaken) {
  Bytes long_walk = {53, 1, 2};
  while (long_walk.size() < 400) long_walk = join({long_walk, {250, 8}, Bytes(8, 0)});
  Bytes no_cookie = reply(standard(2));
  no_cookie[42 + 236] = 98;
  const Bytes cases[] = {reply(standard(2)), no_cookie, reply(standard(2), 1, 69), reply({53, 1, 2, 6, 200, 1, 2}),
                         reply(Bytes(40, 0)), reply(join({long_walk, {255}}))};
  for (const Bytes& f : cases) {
    const u8* msg = nullptr;
    DhcpOptions o{};
    EXPECT_EQ(dhcp_parse_reply(f.data(), static_cast<u32>(f.size()), msg, o), &f == cases) << &f - cases;
  }
}

}  // namespace
}  // namespace tavlin::nettest
