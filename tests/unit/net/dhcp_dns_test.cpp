// The DHCP client and the DNS resolver against scripted servers: what a stock DHCP server needs in our
// messages, what we take from its answers and which we ignore; the query we send, the answer walk over
// hand-made responses, and the order in which DNS servers are asked.
#include "kernel/net/dns.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

Bytes labels(std::initializer_list<std::string> parts) {
  Bytes b;
  for (const auto& p : parts) b = join({b, {static_cast<uint8_t>(p.size())}, text(p)});
  return join({b, {0}});
}

// A resource record of class IN with a TTL of one hour.
Bytes record(const Bytes& name, uint16_t type, const Bytes& rdata) {
  return join({name, be16(type), {0, 1, 0, 0, 0x0E, 0x10}, be16(rdata.size()), rdata});
}

const Bytes kToQuestion = {0xC0, 0x0C};

// The answer found in a response to "ab.example", or 0.0.0.0. The copy has
// the exact size, so ASan sees a read past the end.
Ip answer(uint16_t ancount, const Bytes& answers, size_t cut = SIZE_MAX) {
  const Bytes question = join({labels({"ab", "example"}), {0, 1, 0, 1}});
  const Bytes m = join({{0x12, 0x34, 0x81, 0x80, 0, 1}, be16(ancount), Bytes(4, 0), question, answers});
  const Bytes copy(m.begin(), m.begin() + static_cast<long>(std::min(cut, m.size())));
  Ip ip{};
  return dns_parse_response(copy.data(), static_cast<u32>(copy.size()), ip.data()) ? ip : Ip{};
}

TEST(DnsQuery, NameIsSentAsLabelsWithinTheLimitsAndTheAnswerWalkFindsTheFirstUsableARecord) {
  u8 out[300];
  ASSERT_EQ(dns_build_query("ab..c", out), 23u);
  EXPECT_EQ(bytes(out, 23), (Bytes{0x12, 0x34, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 2, 'a', 'b', 0, 1, 'c', 0, 0, 1, 0, 1}));
  std::string longest;
  while (longest.size() < 242) longest += "abcdefghi.";
  longest.resize(242);  // encodes to 244 bytes
  const std::pair<std::string, u32> names[] = {
      {std::string(63, 'x'), 12 + 65 + 4}, {std::string(64, 'x'), 0}, {longest, 12 + 244 + 4}, {longest + "z", 0}};
  for (const auto& [name, length] : names) EXPECT_EQ(dns_build_query(name.c_str(), out), length) << name.size();
  const Bytes cname = record(kToQuestion, 5, labels({"real", "example"}));
  // The question is 12 + 12 + 4 bytes, so the first answer starts at 28.
  const std::tuple<const char*, uint16_t, Bytes, Ip> cases[] = {  // the answer count, the answers, the address
      {"name spelled out", 1, record(labels({"ab", "example"}), 1, {10, 4, 5, 6}), {10, 4, 5, 6}},
      {"CNAME before the A record", 2, join({cname, record({0xC0, 40}, 1, {192, 0, 2, 7})}), {192, 0, 2, 7}},
      {"A record of length 5 skipped", 2,
       join({record(kToQuestion, 1, {9, 9, 9, 9, 9}), record(kToQuestion, 1, {7, 7, 7, 7})}), {7, 7, 7, 7}},
      {"only AAAA", 1, record(kToQuestion, 28, Bytes(16, 1)), {}},
      {"answer count above the records", 3, cname, {}},
      {"pointer to itself", 1, record({0xC0, 28}, 1, {1, 2, 3, 4}), {}},
      {"pointer forward", 1, record({0xC0, 30}, 1, {1, 2, 3, 4}), {}},
      {"label running past the end", 1, join({{60}, Bytes(10, 'x')}), {}},
  };
  for (const auto& [what, ancount, answers, ip] : cases) EXPECT_EQ(answer(ancount, answers), ip) << what;
  const Bytes good = record(kToQuestion, 1, {1, 2, 3, 4});
  for (size_t cut = 0; cut < 28 + good.size(); ++cut) EXPECT_EQ(answer(1, good, cut), Ip{}) << cut;
}

using DnsResolve = NetTest;

// The DHCP servers in order, then the fallbacks (off-link: through the
// gateway); only the asked server's answer to our port counts.
TEST_F(DnsResolve, AsksTheDhcpServersInOrderThenTheFallbacksAndTakesOnlyTheirAnswers) {
  std::vector<Ip> asked;
  Ip answering{}, reply_from{};  // the server that answers; where its answer seems to come from
  int port_delta = 0;
  configure();
  answer_arp_for(kServerIp);
  card.peer = [&, inner = card.peer](const Bytes& f) {
    if (be16_at(f, 12) != 0x0800) return inner(f);
    asked.push_back({f[30], f[31], f[32], f[33]});
    if (asked.back() == answering) card.incoming.push_back(dns_reply(f, reply_from, {10, 9, 8, 7}, port_delta));
  };
  Ip ip{};
  EXPECT_EQ(dns_resolve("ab.example", ip.data()), 0u);
  EXPECT_EQ(asked, (std::vector<Ip>{{8, 8, 8, 8}, {1, 1, 1, 1}}));
  EXPECT_EQ(slice(card.sent.back(), 0, 6), bytes(kPeerMac));
  answering = {8, 8, 8, 8};
  for (const auto& [from, delta] : {std::pair<Ip, int>{{192, 168, 50, 66}, 0}, {answering, 1}, {answering, 0}}) {
    reply_from = from;
    port_delta = delta;
    EXPECT_EQ(dns_resolve_with_server("ab.cd", ip.data(), answering.data()), from == answering && !delta);
  }
  EXPECT_EQ(ip, (Ip{10, 9, 8, 7}));
  const Ip first = {192, 168, 50, 53}, second = {192, 168, 50, 54};
  std::copy(first.begin(), first.end(), net_dns_servers[0]);
  std::copy(second.begin(), second.end(), net_dns_servers[1]);
  net_dns_count = 2;
  answering = reply_from = second;
  answer_arp_for(first);  // on-link servers are asked for directly
  answer_arp_for(second);
  asked.clear();
  ip = {};
  ASSERT_EQ(dns_resolve("ab.example", ip.data()), 1u);
  EXPECT_EQ(ip, (Ip{10, 9, 8, 7}));
  EXPECT_EQ(asked, (std::vector<Ip>{first, second}));
}

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

using Dhcp = NetTest;

// Without an address we cannot take a unicast answer, so each message asks for a broadcast one; a stock server
// wants the REQUEST to name it. Three attempts, each in a new transaction; then nothing is kept.
TEST_F(Dhcp, OnlyOurOwnOfferAndAckConfigureLinkDownEndsAtOnceAndTheGatewayIsTestedOnlyWhenConfigured) {
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
    // DISCOVER gets the offer, REQUEST the ACK (empty: silence), for our transaction and address unless changed.
    card.peer = [&](const Bytes& f) {
      const Bytes& options = f.at(42 + 242) == 1 ? offer : ack;
      Bytes r = reply(options, be32_at(f, 46) + xid_change);
      r[42 + 28 + 5] = static_cast<uint8_t>(r[42 + 28 + 5] + mac_change);
      if (!options.empty()) card.incoming.push_back(r);
    };
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
  SetUp();
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
