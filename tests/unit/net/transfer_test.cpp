// Upload and download against a scripted store server, with the file tree
// behind them.
#include "kernel/fs/fs.h"
#include "kernel/net/http.h"
#include "tcp_peer.h"

namespace tavlin::nettest {
namespace {

const std::string kBoundary = "----TavlinUploadBoundary12345678";

std::string part_header(const std::string& remote_name) {
  return "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + remote_name +
         "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
}

class Transfer : public NetTest {
 protected:
  TcpPeer peer;
  void SetUp() override {
    NetTest::SetUp();
    const std::vector<u8> none;
    const SampleFile empty{none.data(), 0};
    fs_populate(empty, empty, empty);
  }
  i32 make_file(const char* folder, const char* name, const Bytes& content) {
    const i32 dir = fs_find_child(fs_root, folder);
    const i32 node = fs_create(dir, name, kFsFile);
    if (content.size() < kFsTextCap)
      fs_set_content(node, str(content).c_str());
    else
      fs_set_image_content(node, content.data(), static_cast<u32>(content.size()));
    return node;
  }
};

class Upload : public Transfer {
 protected:
  Bytes stream;  // the bytes the server took, in order
  size_t acked = 0;  // of those, what the server has acknowledged
  uint32_t max_in_flight = 0;
  std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nok\n";
  bool fin_only = false;
  bool silent = false;
  int drop_first_n = 0;  // data segments lost on the way
  uint32_t ack_every = 0;  // ticks between the server's acknowledgements
  uint32_t next_ack = 0;

  void SetUp() override {
    Transfer::SetUp();
    configure();
    peer.port = 8088;
    peer.window = 6000;
    peer.attach(*this, card);
    peer.on_data = [this](const SentSegment& s) { take(s); };
    card.before_poll = [this] { acknowledge(); };
  }
  uint32_t stream_seq(size_t offset) const { return peer.client_iss + 1 + static_cast<uint32_t>(offset); }
  // Acknowledges when the sender looks, so what it sends in between is
  // bounded only by the window it was told.
  void acknowledge() {
    if (stream.size() <= acked || pit_ticks < next_ack) return;
    next_ack = pit_ticks + ack_every;
    acked = stream.size();
    card.incoming.push_back(peer.segment(peer.iss + 1, stream_seq(acked), kTcpAck));
  }
  void take(const SentSegment& s) {
    const uint32_t end = s.seq + static_cast<uint32_t>(s.payload.size());
    max_in_flight = std::max(max_in_flight, end - stream_seq(acked));
    if (drop_first_n > 0) {
      --drop_first_n;
      return;
    }
    if (s.seq == stream_seq(stream.size())) stream.insert(stream.end(), s.payload.begin(), s.payload.end());
    if (silent || !complete()) return;
    const uint32_t ack = stream_seq(stream.size());
    if (fin_only)
      card.incoming.push_back(peer.segment(peer.iss + 1, ack, kTcpAck | kTcpFin));
    else
      card.incoming.push_back(peer.segment(peer.iss + 1, ack, kTcpAck | kTcpPsh | kTcpFin, text(answer)));
  }
  bool complete() const {
    const std::string s = str(stream);
    const size_t head = s.find("\r\n\r\n");
    if (head == std::string::npos) return false;
    const size_t at = s.find("Content-Length: ");
    return s.size() - head - 4 >= std::stoul(s.substr(at + 16));
  }
};

TEST_F(Upload, RequestIsOneMultipartPostToUpload) {
  const Bytes content = pattern(20000, 7);
  make_file("Documents", "data.bin", content);
  ASSERT_EQ(http_post_file("http://192.168.50.1:8088/some/path", "/Documents/data.bin", "up.bin"), 1u);
  const std::string body = part_header("up.bin") + str(content) + "\r\n--" + kBoundary + "--\r\n";
  const std::string head = "POST /upload HTTP/1.0\r\nHost: 192.168.50.1\r\nContent-Type: "
                           "multipart/form-data; boundary=" + kBoundary +
                           "\r\nContent-Length: " + std::to_string(body.size()) +
                           "\r\nConnection: close\r\n\r\n";
  EXPECT_EQ(str(stream), head + body);
  EXPECT_LE(max_in_flight, peer.window);
  const SentSegment& last = peer.from_client.back();
  EXPECT_EQ(last.flags, kTcpFin | kTcpAck);
  EXPECT_EQ(last.ack, peer.iss + 2);  // their initial sequence number, plus the FIN
}

TEST_F(Upload, SegmentsLostOnTheWayAreSentAgain) {
  make_file("Documents", "a.txt", Bytes(9000, 'a'));
  drop_first_n = 2;
  ASSERT_EQ(http_post_file("192.168.50.1:8088", "/Documents/a.txt", "a.txt"), 1u);
  EXPECT_NE(str(stream).find(std::string(9000, 'a')), std::string::npos);
}

TEST_F(Upload, FinFromOutsideTheServersStreamIsNoAnswer) {
  make_file("Documents", "a.txt", Bytes(9000, 'a'));
  card.peer = [inner = card.peer, this](const Bytes& f) {
    inner(f);
    if (be16_at(f, 12) == 0x0800 && f[47] == kTcpAck && stream.empty())  // our handshake ACK
      card.incoming.push_back(peer.segment(peer.iss + 5000, stream_seq(0), kTcpAck | kTcpFin));
  };
  ASSERT_EQ(http_post_file("192.168.50.1:8088", "/Documents/a.txt", "a.txt"), 1u);
  EXPECT_TRUE(complete());
}

TEST_F(Upload, ServerThatTricklesItsAcknowledgementsFailsAtThirtySeconds) {
  make_file("Documents", "a.txt", Bytes(9000, 'a'));
  peer.window = 100;
  ack_every = 90;  // always before our stall timer
  EXPECT_EQ(http_post_file("192.168.50.1:8088", "/Documents/a.txt", "a.txt"), 0u);
  EXPECT_LT(pit_ticks, 3200u);
}

// A refusal or silence is a failure; a bare FIN counts as an answer.
TEST_F(Upload, ServerAnswerDecidesTheResult) {
  const struct {
    const char* answer;
    bool fin_only, silent;
    u32 result;
  } cases[] = {{"HTTP/1.1 409 Conflict\r\n\r\nexists\n", false, false, 0}, {"", true, false, 1},
               {"", false, true, 0}};
  for (const auto& c : cases) {
    card = ScriptedCard{};
    peer = TcpPeer{};
    stream.clear();
    acked = next_ack = 0;
    SetUp();
    make_file("Documents", "a.txt", text("hello"));
    answer = c.answer;
    fin_only = c.fin_only;
    silent = c.silent;
    EXPECT_EQ(http_post_file("192.168.50.1:8088", "/Documents/a.txt", "a.txt"), c.result) << c.answer;
    if (c.silent) EXPECT_EQ(peer.from_client.back().flags, kTcpFin | kTcpAck);
  }
}

TEST_F(Upload, RefusalsBeforeAnyTraffic) {
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/none", "x"), 0u);
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents", "x"), 0u);
  make_file("Documents", "a.txt", text("hello"));
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/a.txt", std::string(450, 'n').c_str()), 0u);
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/a.txt", "evil\"\r\nX: y"), 0u);
  EXPECT_TRUE(card.sent.empty());
}

TEST_F(Upload, FileThatFitsTheBodyButNotTheClosingBoundaryFails) {
  const size_t part = part_header("big").size();
  make_file("Documents", "big", Bytes(kPostBufCap - part, 'b'));
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/big", "big"), 0u);
  EXPECT_FALSE(logged("[UPLOAD] file too large for buffer"));
  EXPECT_FALSE(logged("[UPLOAD] body size="));
  make_file("Documents", "bigger", Bytes(kPostBufCap - part + 1, 'b'));
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/bigger", "big"), 0u);
  EXPECT_TRUE(logged("[UPLOAD] file too large for buffer\n"));
}

class Download : public Transfer {
 protected:
  void SetUp() override {
    Transfer::SetUp();
    configure({10, 0, 2, 15});
    peer.ip = {10, 0, 2, 2};
    peer.our_ip = {10, 0, 2, 15};
    peer.port = 8088;
    peer.attach(*this, card);
  }
  void serve(const std::string& status, const Bytes& body) {
    Bytes r = text("HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n");
    r.insert(r.end(), body.begin(), body.end());
    for (size_t off = 0; off < r.size(); off += 1400)
      peer.script.push_back({static_cast<uint32_t>(off),
                             slice(r, off, std::min<size_t>(1400, r.size() - off))});
    peer.script.back().flags = kTcpAck | kTcpPsh | kTcpFin;
  }
  i32 downloaded(const char* name) { return fs_find_child(fs_find_child(fs_root, "Downloads"), name); }
};

// Bodies below 512 bytes are stored inline, larger ones in a blob; a name
// already taken, an error page, an empty body or one past the buffer store nothing.
TEST_F(Download, StoresExactlyTheBodyOfASuccessfulAnswer) {
  struct Case {
    const char* name;
    const char* status;
    Bytes body;
    u32 result, has_blob;
  } cases[] = {
      {"notes.txt", "200 OK", join({{'a'}, Bytes(510, 'x')}), 1, 0},
      {"bin", "200 OK", pattern(512), 1, 1},
      {"keep.txt", "200 OK", text("replacement"), 0, 0},
      {"missing.txt", "404 Not Found", text("no such file\n"), 0, 0},
      {"empty", "200 OK", {}, 0, 0},
      {"big.bin", "200 OK", pattern(kHttpRespCap), 0, 0},
  };
  make_file("Downloads", "keep.txt", text("original"));
  for (const auto& c : cases) {
    peer = TcpPeer{};
    card = ScriptedCard{};
    peer.ip = {10, 0, 2, 2};
    peer.our_ip = {10, 0, 2, 15};
    peer.port = 8088;
    peer.attach(*this, card);
    serve(c.status, c.body);
    EXPECT_EQ(http_download_file(c.name), c.result) << c.name;
    const i32 node = downloaded(c.name);
    if (!c.result) {
      if (node >= 0) EXPECT_EQ(std::string(fs_nodes[node].text), "original") << c.name;
      continue;
    }
    EXPECT_EQ(str(peer.request).substr(0, 14), "GET /download/") << c.name;
    ASSERT_GE(node, 0) << c.name;
    EXPECT_EQ(fs_nodes[node].has_blob, c.has_blob) << c.name;
    u32 len = 0;
    const u8* data = fs_blob_data(node, &len);
    EXPECT_EQ(c.has_blob ? bytes(data, len) : text(fs_nodes[node].text), c.body) << c.name;
  }
}

TEST_F(Download, NameIsPercentEncodedInThePath) {
  serve("200 OK", text("x"));
  ASSERT_EQ(http_download_file("my file?.txt"), 1u);
  EXPECT_EQ(str(peer.request).substr(0, 41), "GET /download/my%20file%3F.txt HTTP/1.0\r\n");
  EXPECT_GE(downloaded("my file?.txt"), 0);
}

}  // namespace
}  // namespace tavlin::nettest
