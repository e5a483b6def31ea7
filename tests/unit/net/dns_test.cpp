// The DNS resolver: the query we send, the answer walk over hand-made
// responses, and the order in which servers are asked.
#include <map>
#include <memory>

#include "kernel/net/dns.h"
#include "kernel/net/udp.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

Bytes name_labels(std::initializer_list<std::string> parts) {
  Bytes b;
  for (const auto& p : parts) {
    b.push_back(static_cast<uint8_t>(p.size()));
    b.insert(b.end(), p.begin(), p.end());
  }
  b.push_back(0);
  return b;
}

// A response to "ab.example" with the given answer records appended raw.
Bytes response(uint16_t ancount, const Bytes& answers) {
  return join({{0x12, 0x34, 0x81, 0x80, 0, 1}, be16(ancount), Bytes(4, 0), name_labels({"ab", "example"}),
               {0, 1, 0, 1}, answers});
}

// Class IN, TTL one hour.
Bytes record(const Bytes& name, uint16_t type, const Bytes& rdata) {
  return join({name, be16(type), {0, 1, 0, 0, 0x0E, 0x10}, be16(rdata.size()), rdata});
}

const Bytes kPointerToQuestion = {0xC0, 0x0C};

u32 parse(const Bytes& m, Ip& ip) {
  // An exact-size heap copy, so a read past the end is caught by ASan.
  auto copy = std::make_unique<uint8_t[]>(m.size() ? m.size() : 1);
  std::copy(m.begin(), m.end(), copy.get());
  return dns_parse_response(copy.get(), static_cast<u32>(m.size()), ip.data());
}

TEST(DnsQuery, NameIsSentAsLabelsWithTypeAAndClassIn) {
  u8 out[300];
  const u32 n = dns_build_query("ab.cd", out);
  EXPECT_EQ(bytes(out, n), (Bytes{0x12, 0x34, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0, 2, 'a', 'b', 2, 'c',
                                  'd', 0, 0, 1, 0, 1}));
  ASSERT_EQ(dns_build_query(".a..b", out), 12u + 7 + 4);
  EXPECT_EQ(bytes(out + 12, 7), (Bytes{0, 1, 'a', 0, 1, 'b', 0}));  // empty parts: zero lengths
}

TEST(DnsQuery, LabelAndNameLimits) {
  std::string long_name;
  while (long_name.size() < 242) long_name += "abcdefghi.";
  long_name.resize(242);  // encodes to 244 bytes
  const struct {
    std::string name;
    u32 length;
  } cases[] = {{std::string(63, 'x'), 12 + 65 + 4}, {std::string(64, 'x'), 0},
               {long_name, 12 + 244 + 4}, {long_name + "z", 0}};
  for (const auto& c : cases) {
    u8 out[300];
    EXPECT_EQ(dns_build_query(c.name.c_str(), out), c.length) << c.name.size() << " characters";
  }
}

TEST(DnsAnswer, WalkFindsTheFirstUsableARecord) {
  const Bytes cname = record(kPointerToQuestion, 5, name_labels({"real", "example"}));
  // The question is 12 + 12 + 4 bytes, so the first answer starts at 28.
  struct Case {
    const char* what;
    uint16_t ancount;
    Bytes answers;
    u32 ok;
    Ip ip;
  } cases[] = {
      {"name as a pointer", 1, record(kPointerToQuestion, 1, {10, 1, 2, 3}), 1, {10, 1, 2, 3}},
      {"name spelled out", 1, record(name_labels({"ab", "example"}), 1, {10, 4, 5, 6}), 1, {10, 4, 5, 6}},
      {"CNAME before the A record", 2, join({cname, record({0xC0, 40}, 1, {192, 0, 2, 7})}), 1,
       {192, 0, 2, 7}},
      {"A record of length 5 skipped", 2,
       join({record(kPointerToQuestion, 1, {9, 9, 9, 9, 9}), record(kPointerToQuestion, 1, {7, 7, 7, 7})}),
       1, {7, 7, 7, 7}},
      {"only a CNAME", 1, cname, 0, {}},
      {"only AAAA", 1, record(kPointerToQuestion, 28, Bytes(16, 1)), 0, {}},
      {"no answers", 0, {}, 0, {}},
      {"answer count above the records", 3, record(kPointerToQuestion, 28, Bytes(16, 0)), 0, {}},
      {"pointer to itself", 1, record({0xC0, 28}, 1, {1, 2, 3, 4}), 0, {}},
      {"pointer forward", 1, record({0xC0, 30}, 1, {1, 2, 3, 4}), 0, {}},
      {"pointer past the end", 1, record({0xFF, 0xFF}, 1, {1, 2, 3, 4}), 0, {}},
      {"label running past the end", 1, join({{60}, Bytes(10, 'x')}), 0, {}},
  };
  for (const auto& c : cases) {
    Ip ip{};
    EXPECT_EQ(parse(response(c.ancount, c.answers), ip), c.ok) << c.what;
    EXPECT_EQ(ip, c.ip) << c.what;
  }
}

TEST(DnsAnswer, TruncatedResponsesAreRefused) {
  const Bytes good = response(1, record(kPointerToQuestion, 1, {1, 2, 3, 4}));
  Ip ip{};
  for (size_t len = 0; len < good.size(); ++len)
    EXPECT_EQ(parse(slice(good, 0, len), ip), 0u) << len;
}

class DnsResolve : public NetTest {
 protected:
  std::vector<Ip> asked;
  std::map<Ip, Ip> answers_from;  // server -> the address it gives
  Ip reply_source_override{};
  int reply_port_delta = 0;

  void SetUp() override {
    NetTest::SetUp();
    configure();
    answer_arp_for(kServerIp);
    card.peer = [inner = card.peer, this](const Bytes& f) {
      if (be16_at(f, 12) == 0x0800 && f[23] == 17 && be16_at(f, 36) == 53) {
        Ip server;
        std::copy(f.begin() + 30, f.begin() + 34, server.begin());
        asked.push_back(server);
        auto it = answers_from.find(server);
        if (it == answers_from.end()) return;
        const Bytes m = join({{0x12, 0x34, 0x81, 0x80, 0, 1, 0, 1, 0, 0, 0, 0},
                              slice(f, 42 + 12, be16_at(f, 38) - 8 - 12),  // the question
                              record(kPointerToQuestion, 1, bytes(it->second))});
        const Ip src = reply_source_override[0] ? reply_source_override : server;
        card.incoming.push_back(udp_frame(src, kOurIp, 53,
                                          static_cast<uint16_t>(be16_at(f, 34) + reply_port_delta), m));
        return;
      }
      if (inner) inner(f);
    };
  }
};

TEST_F(DnsResolve, AsksTheDhcpServersInOrderThenTheFallbacks) {
  const Ip first = {192, 168, 50, 53}, second = {192, 168, 50, 54};
  std::copy(first.begin(), first.end(), net_dns_servers[0]);
  std::copy(second.begin(), second.end(), net_dns_servers[1]);
  net_dns_count = 2;
  answers_from[second] = {10, 9, 8, 7};
  answer_arp_for(first);  // on-link servers are ARPed for directly
  answer_arp_for(second);
  Ip ip{};
  const u32 start = pit_ticks;
  ASSERT_EQ(dns_resolve("ab.example", ip.data()), 1u);
  EXPECT_EQ(ip, (Ip{10, 9, 8, 7}));
  EXPECT_EQ(asked, (std::vector<Ip>{first, second}));
  EXPECT_GE(pit_ticks - start, 300u);  // the first server's whole wait
}

TEST_F(DnsResolve, WithoutDhcpServersOnlyTheTwoFallbacksAreAsked) {
  Ip ip{};
  EXPECT_EQ(dns_resolve("ab.example", ip.data()), 0u);
  EXPECT_EQ(asked, (std::vector<Ip>{{8, 8, 8, 8}, {1, 1, 1, 1}}));
  asked.clear();
  answers_from[{1, 1, 1, 1}] = {5, 5, 5, 5};
  ASSERT_EQ(dns_resolve("ab.example", ip.data()), 1u);
  EXPECT_EQ(ip, (Ip{5, 5, 5, 5}));
}

TEST_F(DnsResolve, RepliesFromAnotherAddressOrToAnotherPortAreIgnored) {
  const Ip server = {8, 8, 8, 8};
  answers_from[server] = {1, 2, 3, 4};
  Ip ip{};
  reply_source_override = {192, 168, 50, 66};
  EXPECT_EQ(dns_resolve_with_server("ab.example", ip.data(), server.data()), 0u);
  reply_source_override = {};
  reply_port_delta = 1;
  EXPECT_EQ(dns_resolve_with_server("ab.example", ip.data(), server.data()), 0u);
  reply_port_delta = 0;
  ASSERT_EQ(dns_resolve_with_server("ab.example", ip.data(), server.data()), 1u);
  EXPECT_EQ(ip, (Ip{1, 2, 3, 4}));
}

TEST_F(DnsResolve, QueryFrameCarriesUdpAndIpRules) {
  const Ip server = {8, 8, 8, 8};
  answers_from[server] = {1, 2, 3, 4};
  g_ip_id = 9;
  Ip ip{};
  ASSERT_EQ(dns_resolve_with_server("ab.cd", ip.data(), server.data()), 1u);
  const Bytes& f = card.sent.back();
  EXPECT_EQ(f.size(), 65u);  // 42 + 23, no padding needed
  EXPECT_EQ(slice(f, 0, 6), bytes(kPeerMac));  // the gateway's MAC: 8.8.8.8 is off-link
  EXPECT_EQ(slice(f, 18, 2), be16(10));  // identification incremented first
  EXPECT_EQ(be16_at(f, 36), 53);
  EXPECT_GE(be16_at(f, 34), 49152);
  EXPECT_LT(be16_at(f, 34), 49152 + 10000);
}

}  // namespace
}  // namespace tavlin::nettest
