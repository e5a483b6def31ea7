// TCP and HTTP GET against a scripted server: the segments we send, byte by
// byte, and what reaches http_resp_buf when the server misbehaves.
#include "kernel/net/http.h"
#include "tcp_peer.h"

namespace tavlin::nettest {
namespace {

constexpr uint8_t kLast = kTcpAck | kTcpFin;

class HttpGet : public NetTest {
 protected:
  TcpPeer peer;
  void SetUp() override {
    NetTest::SetUp();
    configure();
    peer.attach(*this, card);
  }
  u32 get(const char* path = "/index.html") {
    return http_get(kServerIp.data(), 80, "example.test", path);
  }
  Bytes received() const { return bytes(http_resp_buf, http_resp_len); }
  std::vector<SentSegment> sent_after_request() const {
    std::vector<SentSegment> out;
    bool after = false;
    for (const auto& s : peer.from_client) {
      if (after) out.push_back(s);
      if (!s.payload.empty()) after = true;
    }
    return out;
  }
};

TEST_F(HttpGet, SegmentsAreBuiltByteForByte) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nhi"), kLast}};
  ASSERT_EQ(get("/a/b?c=1"), 1u);
  std::vector<Bytes> tcp_frames;
  for (const auto& f : card.sent)
    if (be16_at(f, 12) == 0x0800) tcp_frames.push_back(f);
  ASSERT_GE(tcp_frames.size(), 3u);
  const Bytes& syn = tcp_frames[0];
  ASSERT_EQ(syn.size(), 60u);
  // the gateway's MAC, don't fragment, TCP; port 80, no acknowledgement, 20-byte header, SYN, window 8192
  EXPECT_EQ(slice(syn, 0, 12), join({bytes(kPeerMac), bytes(kOurMac)}));
  EXPECT_EQ(slice(syn, 20, 4), (Bytes{0x40, 0, 64, 6}));
  EXPECT_EQ(slice(syn, 36, 2), be16(80));
  EXPECT_EQ(slice(syn, 42, 8), (Bytes{0, 0, 0, 0, 0x50, 0x02, 0x20, 0x00}));
  for (const auto& f : tcp_frames) {
    const size_t tcp_len = be16_at(f, 16) - 20;
    EXPECT_EQ(be16_at(f, 50), reference_l4_checksum(kOurIp, kServerIp, 6, slice(f, 34, tcp_len), 16));
  }
  const Bytes& req = tcp_frames[2];
  EXPECT_EQ(req[47], 0x18);
  EXPECT_EQ(be32_at(req, 38), peer.client_iss + 1);
  EXPECT_EQ(be32_at(req, 42), peer.iss + 1);
  EXPECT_EQ(str(peer.request), "GET /a/b?c=1 HTTP/1.0\r\nHost: example.test\r\nConnection: close\r\n"
                               "User-Agent: TavlinOS/0.2\r\n\r\n");
}

// What the server sends, in any order; what we keep, whether the call calls
// it whole, and the acknowledgement of each segment we send after the
// request, counted from the server's first data byte. The FIN is taken only
// when nothing before it is missing; a RST or FIN outside the window is
// ignored; a stream that ends any other way than by the server's FIN
// (without a Content-Length it reached) is a failure.
TEST_F(HttpGet, ScriptedServersGiveTheStreamAndTheAcknowledgements) {
  const Bytes page = text("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello");  // 50 bytes
  const Bytes a = pattern(500, 1), b = pattern(500, 2), c = pattern(100, 3), all = pattern(900, 6);
  const Bytes big1 = pattern(1400, 8), big2 = pattern(1400, 9);
  struct Case {
    const char* what;
    uint32_t iss;
    std::vector<ServerSegment> script;
    Bytes body;
    u32 result;
    std::vector<uint32_t> acks;
    bool we_close;  // our last segment is FIN+ACK
  } cases[] = {
      {"FIN with the data", 0x7000'0000, {{0, page, kLast | kTcpPsh}}, page, 1, {50, 51, 51}, true},
      {"out of order: the gap is acknowledged with the old point", 0x7000'0000,
       {{500, b}, {0, a}, {500, b}, {1000, c, kLast}}, join({a, b, c}), 1,
       {0, 500, 1000, 1100, 1101, 1101}, true},
      {"repeats are not stored twice", 0x7000'0000, {{0, a}, {0, a}, {500, b}, {500, b}, {500, b, kLast}},
       join({a, b}), 1, {500, 500, 1000, 1000, 1000, 1001, 1001}, true},
      {"an overlapping repeat keeps the new bytes it carries", 0x7000'0000,
       {{0, slice(all, 0, 400)}, {200, slice(all, 200, 500)}, {700, slice(all, 700, 200), kLast}}, all, 1,
       {400, 700, 900, 901, 901}, true},
      {"FIN behind a gap never comes in order: idle, and a failure", 0x7000'0000,
       {{0, c}, {200, pattern(10), kLast}, {150, {}, kLast}}, c, 0, {100, 100, 100, 100}, true},
      {"FIN and RST from outside the window are ignored", 0x7000'0000,
       {{0, a}, {100000, {}, kLast}, {0, {}, kLast}, {9500, {}, kTcpRst}, {500, b, kLast}}, join({a, b}), 1,
       {500, 500, 500, 1000, 1001, 1001}, true},
      {"RST mid-body keeps what arrived but fails", 0x7000'0000, {{0, a}, {500, {}, kTcpRst}}, a, 0, {500},
       false},
      {"RST before any data fails", 0x7000'0000, {{0, {}, kTcpRst}}, {}, 0, {}, false},
      {"sequence numbers wrap at 2^32", 0xFFFF'FE00,
       {{1400, big2}, {0, big1}, {0, big1}, {1400, big2}, {2800, text("end"), kLast}},
       join({big1, big2, text("end")}), 1, {0, 1400, 1400, 2800, 2803, 2804, 2804}, true},
  };
  for (const auto& c : cases) {
    card = ScriptedCard{};
    peer = TcpPeer{};
    SetUp();
    peer.iss = c.iss;
    peer.script = c.script;
    EXPECT_EQ(get(), c.result) << c.what;
    EXPECT_EQ(received(), c.body) << c.what;
    const auto after = sent_after_request();
    ASSERT_EQ(after.size(), c.acks.size()) << c.what;
    for (size_t i = 0; i < after.size(); ++i) {
      const bool fin = c.we_close && i + 1 == after.size();
      EXPECT_EQ(after[i].ack - (peer.iss + 1), c.acks[i]) << c.what << ", segment " << i;
      EXPECT_EQ(after[i].flags, fin ? kLast : kTcpAck) << c.what << ", segment " << i;
      EXPECT_EQ(after[i].seq, peer.client_iss + 1 + peer.request.size()) << c.what << ", segment " << i;
    }
  }
}

// A declared length the body reaches makes the response whole however the
// connection ends; one it falls short of makes it a failure even with a FIN.
TEST_F(HttpGet, ContentLengthDecidesWhetherTheBodyIsWhole) {
  struct Case {
    const char* what;
    std::string head;
    uint8_t last;
    u32 result;
  } cases[] = {
      {"short of its length, then FIN", "Content-Length: 11", kLast, 0},
      {"all of its length, then RST", "content-length:  10 ", kTcpRst | kTcpAck, 1},
      {"all of its length, then silence", "Content-Length: 10", 0, 1},
      {"no length, then RST", "X-Length: 10", kTcpRst | kTcpAck, 0},
      {"a length that is not a number counts as none", "Content-Length: 1O", kTcpRst | kTcpAck, 0},
  };
  for (const auto& c : cases) {
    card = ScriptedCard{};
    peer = TcpPeer{};
    SetUp();
    const Bytes response = text("HTTP/1.0 200 OK\r\n" + c.head + "\r\n\r\n0123456789");
    peer.script = {{0, response}};
    if (c.last) peer.script.push_back({static_cast<uint32_t>(response.size()), {}, c.last});
    EXPECT_EQ(get(), c.result) << c.what;
    EXPECT_EQ(received(), response) << c.what;
  }
}

TEST_F(HttpGet, ResponseWithoutFinFailsAfterFiveSecondsIdleWithOurFin) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\npartial")}};
  EXPECT_EQ(get(), 0u);
  EXPECT_GE(pit_ticks, 500u);
  EXPECT_EQ(peer.from_client.back().flags, kLast);
}

TEST_F(HttpGet, TricklingServerFailsAtThirtySeconds) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\n")}};
  uint32_t offset = 19, next = 0;
  card.before_poll = [&] {
    if (peer.request.empty() || pit_ticks < next) return;
    next = pit_ticks + 400;  // always within the idle time
    peer.push(offset++, kTcpAck, text("x"));
  };
  EXPECT_EQ(get(), 0u);
  EXPECT_GE(pit_ticks, 3000u);
  EXPECT_LT(pit_ticks, 3100u);
}

TEST_F(HttpGet, LostRequestIsSentAgain) {
  peer.lose_requests = 1;
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nok"), kLast}};
  ASSERT_EQ(get(), 1u);
  std::vector<SentSegment> requests;
  for (const auto& s : peer.from_client)
    if (!s.payload.empty()) requests.push_back(s);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].seq, requests[0].seq);
  EXPECT_EQ(requests[1].payload, requests[0].payload);
  EXPECT_EQ(received(), text("HTTP/1.0 200 OK\r\n\r\nok"));
}

TEST_F(HttpGet, BodyPastTheBufferIsAcknowledgedAndDropped) {
  const size_t total = kHttpRespCap + 3000;
  const Bytes stream = pattern(total);
  for (size_t off = 0; off < total; off += 1400)
    peer.script.push_back(
        {static_cast<uint32_t>(off), slice(stream, off, std::min<size_t>(1400, total - off))});
  peer.script.back().flags = kLast;
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), slice(stream, 0, kHttpRespCap));
  EXPECT_EQ(peer.from_client.back().ack, peer.iss + 1 + total + 1);
}

TEST_F(HttpGet, SilentServerCostsFourSynsOf300TicksEachAndAResetEndsAtOnce) {
  peer.answer_syn = false;
  EXPECT_EQ(get(), 0u);
  EXPECT_GE(pit_ticks, 1200u);
  EXPECT_LT(pit_ticks, 1300u);
  ASSERT_EQ(peer.from_client.size(), 4u);
  for (const auto& s : peer.from_client) {
    EXPECT_EQ(s.flags, kTcpSyn);
    EXPECT_EQ(s.seq, peer.from_client[0].seq);
  }
  peer.from_client.clear();
  peer.reset_syn = true;
  EXPECT_EQ(get(), 0u);
  EXPECT_EQ(peer.from_client.size(), 1u);
}

TEST_F(HttpGet, ResetThatDoesNotAnswerOurSynIsIgnored) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nok"), kLast}};
  card.peer = [inner = card.peer, this](const Bytes& f) {
    if (be16_at(f, 12) == 0x0800 && f[47] == kTcpSyn)  // a forgery comes first
      card.incoming.push_back(tcp_frame(kServerIp, kOurIp, 80, be16_at(f, 34), 1, be32_at(f, 38) + 7,
                                        kTcpRst | kTcpAck, {}));
    inner(f);
  };
  EXPECT_EQ(get(), 1u);
}

TEST_F(HttpGet, SegmentsOfOtherConnectionsOrWithBadHeaderLengthsAreIgnored) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nok"), kLast}};
  card.peer = [inner = card.peer, this](const Bytes& f) {
    if (be16_at(f, 12) == 0x0800 && f[47] == (kTcpAck | kTcpPsh)) {  // our request: strays come first
      const uint16_t ours = be16_at(f, 34);
      const uint32_t seq = peer.iss + 1;
      const Ip stranger = {192, 168, 50, 200};
      card.incoming.push_back(tcp_frame(stranger, kOurIp, 80, ours, seq, 0, kTcpAck, text("evil")));
      card.incoming.push_back(tcp_frame(kServerIp, kOurIp, 81, ours, seq, 0, kTcpAck, text("evil")));
      Bytes bad = tcp_frame(kServerIp, kOurIp, 80, ours, seq, 0, kTcpAck, text("XXXX"));
      bad[46] = 0xF0;  // data offset 60 bytes, past the packet
      card.incoming.push_back(bad);
      bad[46] = 0x40;  // 16 bytes: below the minimum
      card.incoming.push_back(bad);
    }
    inner(f);
  };
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), text("HTTP/1.0 200 OK\r\n\r\nok"));
}

TEST_F(HttpGet, UnconfiguredOrOverlongRequestFailsWithoutTraffic) {
  const std::string path = "/" + std::string(1500, 'p');
  EXPECT_EQ(get(path.c_str()), 0u);
  EXPECT_TRUE(card.sent.empty());
  std::fill(net_my_ip, net_my_ip + 4, 0);
  EXPECT_EQ(get(), 0u);
  EXPECT_TRUE(card.sent.empty());
}

}  // namespace
}  // namespace tavlin::nettest
