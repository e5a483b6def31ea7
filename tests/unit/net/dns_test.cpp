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
  Bytes m = {0x12, 0x34, 0x81, 0x80, 0, 1, 0, 0, 0, 0, 0, 0};
  put16(m, 6, ancount);
  Bytes q = name_labels({"ab", "example"});
  m.insert(m.end(), q.begin(), q.end());
  m.insert(m.end(), {0, 1, 0, 1});
  m.insert(m.end(), answers.begin(), answers.end());
  return m;
}

Bytes record(const Bytes& name, uint16_t type, const Bytes& rdata) {
  Bytes r = name;
  r.insert(r.end(), {static_cast<uint8_t>(type >> 8), static_cast<uint8_t>(type), 0, 1, 0, 0, 0x0E,
                     0x10, static_cast<uint8_t>(rdata.size() >> 8),
                     static_cast<uint8_t>(rdata.size())});
  r.insert(r.end(), rdata.begin(), rdata.end());
  return r;
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
  ASSERT_EQ(n, 12u + 7 + 4);
  EXPECT_EQ(Bytes(out, out + n), (Bytes{0x12, 0x34, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0, 2, 'a',
                                        'b', 2, 'c', 'd', 0, 0, 1, 0, 1}));
}

TEST(DnsQuery, EmptyPartsGiveZeroLengthLabelsAndLimitsAreKept) {
  u8 out[300];
  ASSERT_EQ(dns_build_query(".a..b", out), 12u + 7 + 4);
  EXPECT_EQ(Bytes(out + 12, out + 19), (Bytes{0, 1, 'a', 0, 1, 'b', 0}));
  EXPECT_EQ(dns_build_query(std::string(64, 'x').c_str(), out), 0u);  // label too long
  EXPECT_NE(dns_build_query(std::string(63, 'x').c_str(), out), 0u);
  std::string name;
  while (name.size() < 242) name += "abcdefghi.";
  name.resize(242);  // encodes to 244 bytes
  EXPECT_NE(dns_build_query(name.c_str(), out), 0u);
  name += "z";
  EXPECT_EQ(dns_build_query(name.c_str(), out), 0u);
}

TEST(DnsAnswer, ARecordBehindPointerOrSpelledOutName) {
  Ip ip{};
  ASSERT_EQ(parse(response(1, record(kPointerToQuestion, 1, {10, 1, 2, 3})), ip), 1u);
  EXPECT_EQ(ip, (Ip{10, 1, 2, 3}));
  ASSERT_EQ(parse(response(1, record(name_labels({"ab", "example"}), 1, {10, 4, 5, 6})), ip), 1u);
  EXPECT_EQ(ip, (Ip{10, 4, 5, 6}));
}

TEST(DnsAnswer, CnameBeforeTheARecord) {
  Bytes answers = record(kPointerToQuestion, 5, name_labels({"real", "example"}));
  const Bytes a = record({0xC0, 0x2B}, 1, {192, 0, 2, 7});
  answers.insert(answers.end(), a.begin(), a.end());
  Ip ip{};
  ASSERT_EQ(parse(response(2, answers), ip), 1u);
  EXPECT_EQ(ip, (Ip{192, 0, 2, 7}));
}

TEST(DnsAnswer, RecordsThatAreNotUsableGiveNothing) {
  Ip ip{};
  EXPECT_EQ(parse(response(1, record(kPointerToQuestion, 5, name_labels({"x"}))), ip), 0u);
  EXPECT_EQ(parse(response(1, record(kPointerToQuestion, 1, {1, 2, 3, 4, 5})), ip), 0u);
  EXPECT_EQ(parse(response(1, record(kPointerToQuestion, 28, Bytes(16, 1))), ip), 0u);
  EXPECT_EQ(parse(response(0, {}), ip), 0u);
  Bytes wide_then_good = record(kPointerToQuestion, 1, {9, 9, 9, 9, 9});
  const Bytes good = record(kPointerToQuestion, 1, {7, 7, 7, 7});
  wide_then_good.insert(wide_then_good.end(), good.begin(), good.end());
  ASSERT_EQ(parse(response(2, wide_then_good), ip), 1u);
  EXPECT_EQ(ip, (Ip{7, 7, 7, 7}));
}

TEST(DnsAnswer, BadPointersAndTruncationAreRefused) {
  Ip ip{};
  const Bytes good = response(1, record(kPointerToQuestion, 1, {1, 2, 3, 4}));
  const size_t answer_at = good.size() - 16;
  struct Case {
    const char* what;
    Bytes name;
  } pointers[] = {{"self", {0xC0, static_cast<uint8_t>(answer_at)}},
                  {"forward", {0xC0, static_cast<uint8_t>(answer_at + 2)}},
                  {"past the end", {0xFF, 0xFF}}};
  for (const auto& c : pointers)
    EXPECT_EQ(parse(response(1, record(c.name, 1, {1, 2, 3, 4})), ip), 0u) << c.what;
  for (size_t len = 0; len < good.size(); ++len)
    EXPECT_EQ(parse(Bytes(good.begin(), good.begin() + static_cast<long>(len)), ip), 0u) << len;
  EXPECT_EQ(parse(response(3, record(kPointerToQuestion, 28, Bytes(16, 0))), ip), 0u);  // count too high
  Bytes long_label = response(1, {});
  long_label.push_back(60);  // a label running past the end
  long_label.insert(long_label.end(), 10, 'x');
  EXPECT_EQ(parse(long_label, ip), 0u);
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
        const Bytes question = slice(f, 42 + 12, f.size() - 42 - 12);
        Bytes m = {0x12, 0x34, 0x81, 0x80, 0, 1, 0, 1, 0, 0, 0, 0};
        const size_t qlen = static_cast<size_t>(be16_at(f, 38)) - 8 - 12;
        m.insert(m.end(), question.begin(), question.begin() + static_cast<long>(qlen));
        const Bytes a = record(kPointerToQuestion, 1, bytes(it->second));
        m.insert(m.end(), a.begin(), a.end());
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
  EXPECT_EQ(be16_at(f, 18), 10);
  EXPECT_EQ(be16_at(f, 16), 23 + 28);
  EXPECT_EQ(be16_at(f, 38), 23 + 8);
  EXPECT_GE(be16_at(f, 34), 49152);
  EXPECT_LT(be16_at(f, 34), 49152 + 10000);
  EXPECT_EQ(be16_at(f, 40), reference_l4_checksum(kOurIp, server, 17, slice(f, 34, 31), 6));
}

TEST_F(DnsResolve, UnconfiguredInterfaceFailsAtOnce) {
  std::fill(net_my_ip, net_my_ip + 4, 0);
  Ip ip{};
  EXPECT_EQ(dns_resolve("ab.example", ip.data()), 0u);
  EXPECT_TRUE(card.sent.empty());
}

}  // namespace
}  // namespace tavlin::nettest
