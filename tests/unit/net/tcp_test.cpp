// TCP and HTTP GET against a scripted server: the segments we send, byte by
// byte, and what reaches http_resp_buf when the server misbehaves.
#include "kernel/net/http.h"
#include "tcp_peer.h"

namespace tavlin::nettest {
namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes pattern(size_t n, uint8_t seed = 0) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
  return b;
}

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
  Bytes received() const { return Bytes(http_resp_buf, http_resp_buf + http_resp_len); }
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
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nhi"), kTcpAck | kTcpPsh | kTcpFin}};
  g_ip_id = 300;
  ASSERT_EQ(get("/a/b?c=1"), 1u);
  std::vector<Bytes> tcp_frames;
  for (const auto& f : card.sent)
    if (be16_at(f, 12) == 0x0800) tcp_frames.push_back(f);
  ASSERT_GE(tcp_frames.size(), 3u);
  const Bytes& syn = tcp_frames[0];
  EXPECT_EQ(syn.size(), 60u);
  EXPECT_EQ(slice(syn, 0, 6), bytes(kPeerMac));
  EXPECT_EQ(slice(syn, 6, 6), bytes(kOurMac));
  EXPECT_EQ(syn[14], 0x45);
  EXPECT_EQ(be16_at(syn, 16), 40);
  EXPECT_EQ(be16_at(syn, 18), 300);  // the current identification, then the next
  EXPECT_EQ(be16_at(tcp_frames[1], 18), 301);
  EXPECT_EQ(be16_at(syn, 20), 0x4000);
  EXPECT_EQ(syn[22], 64);
  EXPECT_EQ(syn[23], 6);
  EXPECT_EQ(reference_checksum(slice(syn, 14, 20)), 0);
  EXPECT_EQ(slice(syn, 26, 4), bytes(kOurIp));
  EXPECT_EQ(slice(syn, 30, 4), bytes(kServerIp));
  EXPECT_GE(be16_at(syn, 34), 49152);
  EXPECT_EQ(be16_at(syn, 36), 80);
  EXPECT_EQ(be32_at(syn, 42), 0u);
  EXPECT_EQ(syn[46], 0x50);
  EXPECT_EQ(syn[47], 0x02);
  EXPECT_EQ(be16_at(syn, 48), 8192);
  EXPECT_EQ(be16_at(syn, 52), 0);
  EXPECT_EQ(slice(syn, 54, 6), Bytes(6, 0));
  for (const auto& f : tcp_frames) {
    const size_t tcp_len = be16_at(f, 16) - 20;
    EXPECT_EQ(be16_at(f, 50), reference_l4_checksum(kOurIp, kServerIp, 6, slice(f, 34, tcp_len), 16));
  }
  const Bytes& req = tcp_frames[2];
  EXPECT_EQ(req[47], 0x18);
  EXPECT_EQ(be32_at(req, 38), peer.client_iss + 1);
  EXPECT_EQ(be32_at(req, 42), peer.iss + 1);
  EXPECT_EQ(text("GET /a/b?c=1 HTTP/1.0\r\nHost: example.test\r\nConnection: close\r\n"
                 "User-Agent: TavlinOS/0.2\r\n\r\n"),
            peer.request);
}

TEST_F(HttpGet, ResponseWithFinIsStoredAndBothSidesClose) {
  const Bytes body = text("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello");
  peer.script = {{0, body, kTcpAck | kTcpPsh | kTcpFin}};
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), body);
  const auto after = sent_after_request();
  ASSERT_EQ(after.size(), 3u);  // ACK of the data, ACK of the FIN, our FIN
  const uint32_t end = peer.iss + 1 + static_cast<uint32_t>(body.size());
  EXPECT_EQ(after[1].flags, kTcpAck);
  EXPECT_EQ(after[1].ack, end + 1);
  EXPECT_EQ(after[2].flags, kTcpFin | kTcpAck);
  EXPECT_EQ(after[2].seq, peer.client_iss + 1 + peer.request.size());
  EXPECT_EQ(after[2].ack, end + 1);
}

TEST_F(HttpGet, OutOfOrderSegmentIsAcknowledgedWithTheOldPointAndTakenWhenItsTurnComes) {
  const Bytes a = pattern(500, 1), b = pattern(500, 2), c = pattern(100, 3);
  peer.script = {{500, b}, {0, a}, {500, b}, {1000, c, kTcpAck | kTcpFin}};
  ASSERT_EQ(get(), 1u);
  Bytes expect = a;
  expect.insert(expect.end(), b.begin(), b.end());
  expect.insert(expect.end(), c.begin(), c.end());
  EXPECT_EQ(received(), expect);
  const auto after = sent_after_request();
  EXPECT_EQ(after[0].ack, peer.iss + 1);  // the gap: still waiting for byte 0
  EXPECT_EQ(after[1].ack, peer.iss + 1 + 500);
}

TEST_F(HttpGet, RepeatedSegmentsAreNotStoredTwice) {
  const Bytes a = pattern(300, 4), b = pattern(300, 5);
  peer.script = {{0, a}, {0, a}, {300, b}, {300, b}, {0, a, kTcpAck | kTcpFin}};
  ASSERT_EQ(get(), 1u);
  Bytes expect = a;
  expect.insert(expect.end(), b.begin(), b.end());
  EXPECT_EQ(received(), expect);
}

TEST_F(HttpGet, OverlappingRepeatKeepsTheNewBytesItCarries) {
  const Bytes all = pattern(900, 6);
  peer.script = {{0, slice(all, 0, 400)},
                 {200, slice(all, 200, 500)},  // 200 old bytes, 300 new ones
                 {700, slice(all, 700, 200), kTcpAck | kTcpFin}};
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), all);
}

TEST_F(HttpGet, ResetMidBodyKeepsWhatArrived) {
  const Bytes a = pattern(700, 7);
  peer.script = {{0, a}, {700, {}, kTcpRst}};
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), a);
  for (const auto& s : sent_after_request()) EXPECT_FALSE(s.flags & kTcpFin);
}

TEST_F(HttpGet, ResetBeforeAnyDataFails) {
  peer.script = {{0, {}, kTcpRst}};
  EXPECT_EQ(get(), 0u);
}

TEST_F(HttpGet, ResponseWithoutFinEndsAfterFiveSecondsIdleWithOurFin) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\npartial")}};
  const u32 start = pit_ticks;
  ASSERT_EQ(get(), 1u);
  EXPECT_GE(pit_ticks - start, 500u);
  EXPECT_EQ(peer.from_client.back().flags, kTcpFin | kTcpAck);
}

TEST_F(HttpGet, FinBehindAGapIsNotAcknowledged) {
  peer.script = {{0, pattern(100)}, {200, pattern(10), kTcpAck | kTcpFin}, {150, {}, kTcpAck | kTcpFin}};
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(http_resp_len, 100u);
  EXPECT_EQ(peer.from_client.back().ack, peer.iss + 1 + 100);  // nothing past the gap
}

TEST_F(HttpGet, SequenceNumbersWrapAroundTwoToThe32) {
  peer.iss = 0xFFFFFE00;
  const Bytes a = pattern(1400, 8), b = pattern(1400, 9);
  peer.script = {{1400, b}, {0, a}, {0, a}, {1400, b}, {2800, text("end"), kTcpAck | kTcpFin}};
  ASSERT_EQ(get(), 1u);
  Bytes expect = a;
  expect.insert(expect.end(), b.begin(), b.end());
  expect.insert(expect.end(), {'e', 'n', 'd'});
  EXPECT_EQ(received(), expect);
  EXPECT_EQ(peer.from_client.back().ack, peer.iss + 1 + 2803 + 1);
}

TEST_F(HttpGet, BodyPastTheBufferIsAcknowledgedAndDropped) {
  const size_t total = kHttpRespCap + 3000;
  for (size_t off = 0; off < total; off += 1400) {
    const size_t n = std::min<size_t>(1400, total - off);
    peer.script.push_back({static_cast<uint32_t>(off), pattern(n, static_cast<uint8_t>(off / 1400))});
  }
  peer.script.back().flags = kTcpAck | kTcpFin;
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(http_resp_len, kHttpRespCap);
  EXPECT_EQ(peer.from_client.back().ack, peer.iss + 1 + total + 1);
  EXPECT_EQ(http_resp_buf[kHttpRespCap - 1], pattern(1400, static_cast<uint8_t>((kHttpRespCap - 1) / 1400))[(kHttpRespCap - 1) % 1400]);
}

TEST_F(HttpGet, SilentServerCostsFourSynsOf300TicksEach) {
  peer.answer_syn = false;
  const u32 start = pit_ticks;
  EXPECT_EQ(get(), 0u);
  EXPECT_GE(pit_ticks - start, 1200u);
  EXPECT_LT(pit_ticks - start, 1300u);
  ASSERT_EQ(peer.from_client.size(), 4u);
  for (const auto& s : peer.from_client) {
    EXPECT_EQ(s.flags, kTcpSyn);
    EXPECT_EQ(s.seq, peer.from_client[0].seq);
  }
}

TEST_F(HttpGet, ResetAnswerToSynFailsAtOnce) {
  peer.reset_syn = true;
  EXPECT_EQ(get(), 0u);
  EXPECT_EQ(peer.from_client.size(), 1u);
}

TEST_F(HttpGet, SegmentsOfOtherConnectionsAreIgnored) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nok"), kTcpAck | kTcpFin}};
  card.peer = [inner = card.peer, this](const Bytes& f) {
    if (be16_at(f, 12) == 0x0800 && f[47] == (kTcpAck | kTcpPsh)) {
      const uint16_t ours = be16_at(f, 34);
      const Ip stranger = {192, 168, 50, 200};
      card.incoming.push_back(tcp_frame(stranger, kOurIp, 80, ours, peer.iss + 1,
                                        0, kTcpAck | kTcpPsh, text("evil")));
      card.incoming.push_back(tcp_frame(kServerIp, kOurIp, 81, ours, peer.iss + 1,
                                        0, kTcpAck | kTcpPsh, text("evil")));
    }
    inner(f);
  };
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), text("HTTP/1.0 200 OK\r\n\r\nok"));
}

TEST_F(HttpGet, UnconfiguredOrOverlongRequestFailsWithoutTraffic) {
  std::string path = "/" + std::string(1500, 'p');
  EXPECT_EQ(get(path.c_str()), 0u);
  EXPECT_TRUE(card.sent.empty());
  std::fill(net_my_ip, net_my_ip + 4, 0);
  EXPECT_EQ(get(), 0u);
  EXPECT_TRUE(card.sent.empty());
}

TEST_F(HttpGet, SegmentWithMalformedHeaderLengthsIsIgnored) {
  peer.script = {{0, text("HTTP/1.0 200 OK\r\n\r\nok"), kTcpAck | kTcpFin}};
  card.peer = [inner = card.peer, this](const Bytes& f) {
    if (be16_at(f, 12) == 0x0800 && f[47] == (kTcpAck | kTcpPsh)) {
      Bytes bad = tcp_frame(kServerIp, kOurIp, 80, be16_at(f, 34), peer.iss + 1, 0, kTcpAck,
                            text("XXXX"));
      bad[46] = 0xF0;  // data offset 60 bytes, past the packet
      card.incoming.push_back(bad);
      Bytes small = bad;
      small[46] = 0x40;  // 16 bytes: below the minimum
      card.incoming.push_back(small);
    }
    inner(f);
  };
  ASSERT_EQ(get(), 1u);
  EXPECT_EQ(received(), text("HTTP/1.0 200 OK\r\n\r\nok"));
}

}  // namespace
}  // namespace tavlin::nettest
