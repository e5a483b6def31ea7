// The Store client: reading the server's list, the refresh with its
// 15-second rule and the upload-description carry-over, against a scripted
// store server; and its window, where what is drawn is what answers.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/apps/store.h"
#include "kernel/apps/store_layout.h"
#include "kernel/core/timer.h"
#include "unit/net/tcp_peer.h"

namespace tavlin::nettest {
namespace {

using Names = std::vector<std::string>;

Names names_of(const StoreState& s) {
  Names out;
  for (u32 i = 0; i < s.file_count; ++i) out.push_back(s.file_names[i]);
  return out;
}

StoreState parsed(const std::string& body) {
  fake_hw::reset();
  fake_hw::set_default(0x3FD, 0x20);  // a ready UART: the list's log lines cost nothing
  StoreState s{};
  store_parse_list(s, reinterpret_cast<const u8*>(body.data()), static_cast<u32>(body.size()));
  return s;
}

TEST(StoreList, OneNamePerLineWhateverTheLineEndsAndSpaces) {
  const std::string n62(62, 'a'), n63(63, 'b');
  const struct {
    std::string body;
    Names names;
  } cases[] = {
      {"one.txt\r\ntwo.png\r\n", {"one.txt", "two.png"}},
      {"\n\n  spaced.txt   \r\n\r\n\nlast", {"spaced.txt", "last"}},
      {"in side.txt \n", {"in side.txt"}},
      {n63 + "\n" + n62 + "\n", {n62}},
      {" \r\n \n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(names_of(parsed(c.body)), c.names) << c.body;
  std::string many;
  for (int i = 0; i < 65; ++i) many += "f" + std::to_string(i) + "\n";
  const StoreState s = parsed(many);
  EXPECT_EQ(s.file_count, 64u);
  EXPECT_STREQ(s.file_names[63], "f63");
}

// A Store state talking to a scripted server at the default store address;
// each refresh gets a fresh server connection.
class StoreRefresh : public NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    configure({10, 0, 2, 15});
    state.selected = -1;
    std::strcpy(state.server_url, kDefaultStoreServerUrl);
    pit_ticks = 5000;
  }

  void serve(const std::string& status, const std::string& body) {
    TcpPeer& peer = peers.emplace_back();
    peer.ip = {10, 0, 2, 2};
    peer.our_ip = {10, 0, 2, 15};
    peer.port = 8088;
    peer.attach(*this, card);
    peer.script.push_back({0, text("HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                                   "\r\n\r\n" + body),
                           kTcpAck | kTcpPsh | kTcpFin});
  }

  void refresh_at(u32 tick) {
    pit_ticks = tick;
    state.refresh_pending = 1;
    zivirerev_refresh(&state);
    EXPECT_EQ(state.refresh_pending, 0u);
  }

  std::deque<TcpPeer> peers;
  StoreState state{};
};

TEST_F(StoreRefresh, AnUploadsDescriptionWaitsForTheNextListThatSucceeds) {
  serve("200 OK", "a.txt\nb.png\n");
  refresh_at(5000);  // a new window fetches at once, however soon after start
  EXPECT_EQ(names_of(state), (Names{"a.txt", "b.png"}));
  EXPECT_STREQ(state.status, "Files: 2");
  EXPECT_EQ(str(peers[0].request).substr(0, 24), "GET /list HTTP/1.0\r\nHost");
  EXPECT_TRUE(logged("[MOSS] GET url=http://10.0.2.2:8088/list\n[MOSS] host=10.0.2.2 path=/list port=8088\n"));
  EXPECT_TRUE(logged("[MOSS] body preview: a.txt\\nb.png\\n\n"));

  // An upload lands 10 s later; its refresh is refused and keeps the note.
  std::strcpy(state.last_upload_name, "mine.txt");
  std::strcpy(state.last_upload_desc, "my own words");
  state.selected = 1;
  refresh_at(5000 + 1499);
  EXPECT_STREQ(state.status, "Please wait 15s between refreshes");
  EXPECT_EQ((std::vector<i32>{i32(state.file_count), state.selected}), (std::vector<i32>{2, 1}));
  EXPECT_STREQ(state.last_upload_name, "mine.txt");

  serve("200 OK", "a.txt\r\nmine.txt\r\n");
  refresh_at(5000 + 1500);
  EXPECT_EQ(names_of(state), (Names{"a.txt", "mine.txt"}));
  EXPECT_EQ((std::vector<std::string>{state.file_descs[0], state.file_descs[1]}),
            (std::vector<std::string>{"", "my own words"}));
  EXPECT_EQ((std::vector<i32>{state.selected, state.last_upload_name[0], state.last_upload_desc[0]}),
            (std::vector<i32>{-1, 0, 0}));
}

TEST_F(StoreRefresh, FailuresKeepTheOldListAndSayWhy) {
  serve("200 OK", "kept.txt\n");
  refresh_at(5000);
  const struct {
    std::string status, body;
    const char* words;
  } cases[] = {
      {"404 Not Found", "no such page\n", "HTTP get failed"},
      {"200 OK", "", "Empty response"},
  };
  u32 tick = 5000;
  for (const auto& c : cases) {
    serve(c.status, c.body);
    refresh_at(tick += 1500);
    EXPECT_STREQ(state.status, c.words) << c.status;
    EXPECT_EQ(names_of(state), (Names{"kept.txt"})) << c.status;
  }
  serve("200 OK", "other.txt\n");
  peers.back().reset_syn = true;  // the server is down
  refresh_at(tick += 1500);
  EXPECT_STREQ(state.status, "HTTP get failed");
  EXPECT_EQ(names_of(state), (Names{"kept.txt"}));
}

}  // namespace
}  // namespace tavlin::nettest
