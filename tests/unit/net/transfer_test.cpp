// Upload and download against a scripted store server, with the file tree
// behind them.
#include <cstring>

#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/fs/fs.h"
#include "kernel/net/http.h"
#include "tcp_peer.h"

namespace tavlin::nettest {
namespace {

class Transfer : public NetTest {
 protected:
  TcpPeer peer;
  void SetUp() override {
    NetTest::SetUp();
    const SampleFile empty{nullptr, 0};
    fs_populate(empty, empty, empty);
    // The store server where the Store's URL puts it, on our own subnet.
    configure({10, 0, 2, 15});
    peer = TcpPeer{};
    peer.ip = {10, 0, 2, 2};
    peer.our_ip = {10, 0, 2, 15};
    peer.port = 8088;
    peer.attach(*this, card);
  }
  void make_file(const char* folder, const char* name, const Bytes& content) {
    const i32 node = fs_create(fs_find_child(fs_root, folder), name, kFsFile);
    if (content.size() < kFsTextCap)
      fs_set_content(node, str(content).c_str());
    else
      fs_set_image_content(node, content.data(), static_cast<u32>(content.size()));
  }
};

class Upload : public Transfer {
 protected:
  Bytes stream;  // the bytes the server took, in order
  size_t acked = 0;  // of those, what the server has acknowledged
  uint32_t max_in_flight = 0, ack_every = 0, next_ack = 0;
  int lose = 0;  // data segments lost on the way
  Bytes answer = text("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nok\n");
  uint8_t answer_flags = kTcpAck | kTcpPsh | kTcpFin;  // none: silence

  void SetUp() override {
    Transfer::SetUp();
    stream.clear();
    acked = next_ack = 0;
    peer.window = 6000;
    peer.on_data = [this](const SentSegment& s) { take(s); };
    // Acknowledges when the sender looks: what it sends between is bounded by the window alone.
    card.before_poll = [this] {
      if (stream.size() <= acked || pit_ticks < next_ack) return;
      next_ack = pit_ticks + ack_every;
      acked = stream.size();
      card.incoming.push_back(peer.segment(peer.iss + 1, seq_at(acked), kTcpAck));
    };
  }
  uint32_t seq_at(size_t offset) const { return peer.client_iss + 1 + static_cast<uint32_t>(offset); }
  void take(const SentSegment& s) {
    max_in_flight = std::max(max_in_flight, s.seq + static_cast<uint32_t>(s.payload.size()) - seq_at(acked));
    if (lose > 0) {
      --lose;
      return;
    }
    if (s.seq == seq_at(stream.size())) stream.insert(stream.end(), s.payload.begin(), s.payload.end());
    if (answer_flags && complete())
      card.incoming.push_back(peer.segment(peer.iss + 1, seq_at(stream.size()), answer_flags, answer));
  }
  bool complete() const {
    const std::string s = str(stream);
    const size_t head = s.find("\r\n\r\n");
    return head != std::string::npos && s.size() - head - 4 >= std::stoul(s.substr(s.find("Content-Length: ") + 16));
  }
  u32 post() { return http_post_file(kStoreServerUrl, "/Documents/a.txt", "a.txt"); }
};

// A FIN from outside the server's stream is no answer; thirty seconds end an
// upload however steadily the server acknowledges.
TEST_F(Upload, WindowLossStrayFinsAndTricklingAcknowledgements) {
  make_file("Documents", "a.txt", Bytes(9000, 'a'));
  lose = 2;
  card.peer = [inner = card.peer, this](const Bytes& f) {
    inner(f);
    if (be16_at(f, 12) == 0x0800 && f[47] == kTcpAck && stream.empty())  // our handshake ACK
      card.incoming.push_back(peer.segment(peer.iss + 5000, seq_at(0), kTcpAck | kTcpFin));
  };
  ASSERT_EQ(post(), 1u);
  EXPECT_TRUE(complete());
  EXPECT_LE(max_in_flight, peer.window);
  SetUp();
  make_file("Documents", "a.txt", Bytes(9000, 'a'));
  peer.window = 100;
  ack_every = 90;  // always before our stall timer
  EXPECT_EQ(post(), 0u);
  EXPECT_EQ(pit_ticks / 100, 30u);
}

// A refusal or silence is a failure; a bare FIN counts as an answer. The
// upload dialog says which, and closes only on success.
// No traffic for a missing file, a folder, a name that would break the
// part header, or a file whose closing boundary would not fit the buffer.
TEST_F(Upload, ServerAnswerDecidesTheResultAndBadFilesOrNamesAreRefusedBeforeAnyTraffic) {
  const std::tuple<const char*, uint8_t, u32> cases[] = {
      {"HTTP/1.1 409 Conflict\r\n\r\nexists\n", kTcpAck | kTcpFin, 0}, {"", kTcpAck | kTcpFin, 1}, {"", 0, 0}};
  for (const auto& [text_answer, flags, result] : cases) {
    SetUp();
    make_file("Documents", "a.txt", text("hello"));
    answer = text(text_answer);
    answer_flags = flags;
    upload_dialog_open();
    std::strcpy(upload_dialog.file_path, "/Documents/a.txt");
    std::strcpy(upload_dialog.name, "a.txt");
    upload_dialog_submit();
    EXPECT_STREQ(upload_dialog.message, result ? "Upload successful!" : "Upload failed!") << text_answer;
    EXPECT_EQ(upload_dialog.active, 1 - result) << text_answer;
    EXPECT_EQ(peer.from_client.back().flags, kTcpFin | kTcpAck) << text_answer;
  }
  SetUp();
  make_file("Documents", "a.txt", text("hello"));
  const std::string part_header = "------TavlinUploadBoundary12345678\r\nContent-Disposition: form-data; "
                                  "name=\"file\"; filename=\"big\"\r\nContent-Type: application/octet-stream\r\n\r\n";
  make_file("Documents", "big", Bytes(kPostBufCap - part_header.size(), 'b'));  // no room for the closing boundary
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/none", "x"), 0u);
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents", "x"), 0u);
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/a.txt", std::string(450, 'n').c_str()), 0u);
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/a.txt", "evil\"\r\nX: y"), 0u);
  EXPECT_EQ(http_post_file("192.168.50.1", "/Documents/big", "big"), 0u);
  EXPECT_TRUE(card.sent.empty());
}

// Bodies below 512 bytes are stored inline, larger ones in a blob; the name goes
// percent-encoded into the path.
TEST_F(Transfer, DownloadStoresExactlyTheBodyOfASuccessfulAnswer) {
  const std::tuple<const char*, const char*, Bytes, u32> cases[] = {
      {"my notes?.txt", "200 OK", join({{'a'}, Bytes(510, 'x')}), 1}, {"bin", "200 OK", pattern(512), 1},
      {"keep.txt", "200 OK", text("replacement"), 0},                  {"missing.txt", "404 Not Found", text("no"), 0},
      {"empty", "200 OK", {}, 0},                                      {"big.bin", "200 OK", pattern(kHttpRespCap), 0}};
  for (const auto& [name, status, body, result] : cases) {
    SetUp();
    make_file("Downloads", "keep.txt", text("original"));
    const Bytes r = join({text("HTTP/1.1 " + std::string(status) + "\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\n\r\n"), body});
    for (size_t off = 0; off < r.size(); off += 1400)
      peer.script.push_back({static_cast<uint32_t>(off), slice(r, off, std::min<size_t>(1400, r.size() - off))});
    peer.script.back().flags = kTcpAck | kTcpPsh | kTcpFin;
    EXPECT_EQ(http_download_file(name), result) << name;
    const i32 node = fs_find_child(fs_find_child(fs_root, "Downloads"), name);
    u32 len = 0;
    const u8* blob = node >= 0 ? fs_blob_data(node, &len) : nullptr;
    const Bytes stored = node < 0 ? Bytes{} : fs_nodes[node].has_blob ? bytes(blob, len) : text(fs_nodes[node].text);
    EXPECT_EQ(stored, result ? body : (node < 0 ? Bytes{} : text("original"))) << name;
    EXPECT_EQ(node >= 0 && fs_nodes[node].has_blob, result && body.size() >= 512) << name;
    if (name == std::get<0>(cases[0]))
      EXPECT_EQ(str(peer.request).substr(0, 42), "GET /download/my%20notes%3F.txt HTTP/1.0\r\n");
  }
}

}  // namespace
}  // namespace tavlin::nettest
