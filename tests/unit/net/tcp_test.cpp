// TCP and HTTP GET against a scripted server: what reaches http_resp_buf, the acknowledgements
// we send, and how a misbehaving server is survived; splitting URLs, finding a response's status and body.
#include <cstring>

#include "kernel/net/http.h"
#include "kernel/net/url.h"
#include "tcp_peer.h"

namespace tavlin::nettest {
namespace {

constexpr uint8_t kLast = kTcpAck | kTcpFin;
const Bytes kOk = text("HTTP/1.0 200 OK\r\n\r\nok");

class HttpGet : public NetTest {
 protected:
  TcpPeer peer;
  void SetUp() override {
    NetTest::SetUp();
    peer = TcpPeer{};
    configure();
    peer.attach(*this, card);
  }
  u32 get(const char* path = "/index.html") { return http_get(kServerIp.data(), 80, "example.test", path); }
  Bytes received() const { return bytes(http_resp_buf, http_resp_len); }
};

// The FIN is taken only when nothing before it is missing; a RST or FIN outside
// the window is ignored; a stream that ends any other way than by the server's
// FIN is a failure, even when its bytes are kept.
// A declared length the body reaches makes the response whole however the
// connection ends; one it falls short of makes it a failure even with a FIN.
TEST_F(HttpGet, ScriptedServersGiveTheStreamAndTheAcknowledgementsAndContentLengthDecidesWhetherTheBodyIsWhole) {
  const Bytes a = pattern(500, 1), b = pattern(500, 2), c = pattern(100, 3), all = pattern(900, 6);
  const Bytes big1 = pattern(1400, 8), big2 = pattern(1400, 9);
  // The server's first sequence number (0: the peer's), its segments; the body, the result, our
  // acknowledgements, whether our last segment is a FIN.
  using Acks = std::vector<uint32_t>;
  const std::tuple<const char*, uint32_t, std::vector<ServerSegment>, Bytes, u32, Acks, bool> cases[] = {
      {"FIN with the data", 0, {{0, a, kLast | kTcpPsh}}, a, 1, {500, 501, 501}, true},
      {"out of order: a gap is acknowledged with the old point", 0, {{500, b}, {0, a}, {500, b}, {1000, c, kLast}},
       join({a, b, c}), 1, {0, 500, 1000, 1100, 1101, 1101}, true},
      {"repeats are not stored twice; an overlap keeps its new bytes", 0,
       {{0, slice(all, 0, 400)}, {0, slice(all, 0, 400)}, {200, slice(all, 200, 500)},
        {700, slice(all, 700, 200), kLast}},
       all, 1, {400, 400, 700, 900, 901, 901}, true},
      {"FIN behind a gap never comes in order: idle, and a failure", 0,
       {{0, c}, {200, pattern(10), kLast}, {150, {}, kLast}}, c, 0, {100, 100, 100, 100}, true},
      {"FIN and RST from outside the window are ignored", 0,
       {{0, a}, {100000, {}, kLast}, {0, {}, kLast}, {9500, {}, kTcpRst}, {500, b, kLast}}, join({a, b}), 1,
       {500, 500, 500, 1000, 1001, 1001}, true},
      {"RST mid-body keeps what arrived but fails", 0, {{0, a}, {500, {}, kTcpRst}}, a, 0, {500}, false},
      {"sequence numbers wrap at 2^32", 0xFFFF'FE00,
       {{1400, big2}, {0, big1}, {1400, big2}, {2800, text("end"), kLast}}, join({big1, big2, text("end")}), 1,
       {0, 1400, 2800, 2803, 2804, 2804}, true},
  };
  for (const auto& [what, iss, script, body, result, expected_acks, we_close] : cases) {
    SCOPED_TRACE(what);
    SetUp();
    peer.iss = iss ? iss : peer.iss;
    peer.script = script;
    EXPECT_EQ(get(), result);
    EXPECT_EQ(received(), body);
    Acks acks;
    for (const auto& s : peer.from_client)
      if (s.seq == peer.client_iss + 1 + peer.request.size()) acks.push_back(s.ack - (peer.iss + 1));
    EXPECT_EQ(acks, expected_acks);
    EXPECT_EQ(peer.from_client.back().flags, we_close ? kLast : kTcpAck);
  }
  EXPECT_EQ(str(peer.request), "GET /index.html HTTP/1.0\r\nHost: example.test\r\nConnection: close\r\n"
                               "User-Agent: TavlinOS/0.2\r\n\r\n");
  const std::tuple<std::string, uint8_t, u32> lengths[] = {  // the header, how the server ends (0: silence), result
      {"Content-Length: 11", kLast, 0},        {"content-length:  10 ", kTcpRst | kTcpAck, 1},
      {"Content-Length: 10", 0, 1},            {"X-Length: 10", kTcpRst | kTcpAck, 0},
      {"Content-Length: 1O", kTcpRst | kTcpAck, 0}};
  for (const auto& [head, last, result] : lengths) {
    SetUp();
    const Bytes response = text("HTTP/1.0 200 OK\r\n" + head + "\r\n\r\n0123456789");
    peer.script = {{0, response}, {static_cast<uint32_t>(response.size()), {}, last}};
    if (!last) peer.script.pop_back();
    EXPECT_EQ(get(), result) << head;
    EXPECT_EQ(received(), response) << head;
  }
}

// Five seconds without data end a response that never finished, with our FIN
// (the thirty seconds that end a trickling GET are the lossy system test's).
TEST_F(HttpGet, IdleAndConnectDeadlinesEndAStalledGetAndAnOverlongOrUnconfiguredOneSendsNothing) {
  EXPECT_EQ(get(("/" + std::string(1500, 'p')).c_str()), 0u);
  std::fill(net_my_ip, net_my_ip + 4, 0);
  EXPECT_EQ(get(), 0u);
  EXPECT_TRUE(card.sent.empty());
  configure();
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\n")}};
  EXPECT_EQ(get(), 0u);
  EXPECT_EQ(pit_ticks / 100, 5u);
  EXPECT_EQ(peer.from_client.back().flags, kLast);
  SetUp();
  peer.answer_syn = false;  // a silent server costs four SYNs; a reset ends at once
  EXPECT_EQ(get(), 0u);
  EXPECT_EQ(pit_ticks / 100, 12u);
  EXPECT_EQ(peer.from_client.size(), 4u);
  peer.from_client.clear();
  peer.reset_syn = true;
  EXPECT_EQ(get(), 0u);
  EXPECT_EQ(peer.from_client.size(), 1u);
}

// A server still holding our port's last connection (we rebooted and chose
// the same port and sequence) answers the SYN with that connection's ACK:
// we reset it there and connect at once, without waiting for a retry.
TEST_F(HttpGet, OldConnectionOnTheSamePortsIsResetAndTheGetSucceeds) {
  peer.time_wait = true;
  peer.script = {{0, kOk, kLast}};
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), kOk);
  EXPECT_EQ(peer.from_client[1].flags, kTcpRst);
  EXPECT_EQ(peer.from_client[1].seq, peer.time_wait_rcv_nxt);
  EXPECT_LT(pit_ticks, 100u);
}

// A RST that does not answer our SYN, and segments of other connections or with
// impossible header lengths, change nothing.
TEST_F(HttpGet, LostRequestIsSentAgainAndForgedOrStraySegmentsAreIgnored) {
  peer.lose_requests = 1;
  peer.script = {{0, kOk, kLast}};
  card.peer = [inner = card.peer, this](const Bytes& f) {
    const uint16_t ours = be16_at(f, 34);
    const auto stray = [&](const Ip& from, uint16_t port, uint32_t ack, uint8_t flags, uint8_t offset) {
      Bytes s = tcp_frame(from, kOurIp, port, ours, peer.iss + 1, ack, flags, text("evil"));
      s[46] = offset;
      card.incoming.push_back(s);
    };
    if (be16_at(f, 12) == 0x0800 && f[47] == kTcpSyn)  // a RST that does not acknowledge our SYN
      stray(kServerIp, 80, be32_at(f, 38) + 7, kTcpRst | kTcpAck, 0x50);
    if (be16_at(f, 12) == 0x0800 && f[47] == (kTcpAck | kTcpPsh)) {
      stray({192, 168, 50, 200}, 80, 0, kTcpAck, 0x50);
      stray(kServerIp, 81, 0, kTcpAck, 0x50);
      stray(kServerIp, 80, 0, kTcpAck, 0xF0);  // 60 bytes: past the packet
      stray(kServerIp, 80, 0, kTcpAck, 0x40);  // 16 bytes: below the minimum
    }
    inner(f);
  };
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), kOk);
}

// Host and path buffers of exactly their caps: ASan sees a write past them.
TEST(BrowserParseUrl, SplitsHostPortAndPath) {
  const std::pair<std::string, std::string> cases[] = {
      {"  HtTp://Example.COM", "Example.COM:80/"},
      {"host:8080/a/b", "host:8080/a/b"},
      {"http://host:99999999999999999999999/p", "host:80/p"},
      {"http://host:x/p", "host:80/"},
      {"http://" + std::string(66, 'h') + "/p", std::string(63, 'h') + ":80/"},  // the 64th is neither ":" nor "/"
      {"h/" + std::string(300, 'p'), "h:80/" + std::string(126, 'p')},
  };
  for (const auto& [url, split] : cases) {
    char host[kUrlHostCap], path[kUrlPathCap];
    u16 port = 1;
    browser_parse_url(url.c_str(), host, &port, path);
    EXPECT_EQ(std::string(host) + ":" + std::to_string(port) + path, split) << url;
  }
}

// The body starts after the first blank line inside the length.
TEST(HttpResponse, StatusAndBodyAreFoundOnlyWithinTheLength) {
  const std::tuple<std::string, u32, u32, const char*> cases[] = {  // response, its length; the status, the body
      {"HTTP/1.1 409 Conflict\r\nA: b\r\n\r\nbody\r\n\r\nmore", 43, 409, "body\r\n\r\nmore"},
      {"HTTP/1.0 200 OK\r\n\r\nx", 18, 200, nullptr},  // no body within the length
      {"HTTP/1.0 2x0 OK\r\n\r\n", 19, 0, ""},
      {"HTTP/1.00000 20", 15, 0, nullptr},
  };
  for (const auto& [response, length, status, expected_body] : cases) {
    std::memcpy(http_resp_buf, response.data(), response.size());
    EXPECT_EQ(http_status_code(http_resp_buf, length), status) << response;
    u32 len = 99;
    const u8* body = http_strip_headers(length, &len);
    EXPECT_EQ(body ? std::string(reinterpret_cast<const char*>(body), len) : "(none)",
              expected_body ? expected_body : "(none)");
    EXPECT_EQ(body ? body + len : http_resp_buf + length + len, http_resp_buf + length) << response;
  }
}

}  // namespace
}  // namespace tavlin::nettest
