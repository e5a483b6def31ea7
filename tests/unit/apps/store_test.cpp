// The Store client: the server's list, the refresh with its 15-second rule and the upload note carried to
// the next list against a scripted server; the upload dialog's keys, the name, the description and the
// file picker walked to a file.
#include <deque>
#include <string>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/fs/paths.h"
#include "unit/net/tcp_peer.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Names = std::vector<std::string>;

Names names_of(const StoreState& s) { return Names(s.file_names, s.file_names + s.file_count); }

StoreState parsed(const std::string& body) {
  fake_hw::reset();  // a ready UART: the list's log lines cost nothing
  StoreState s{};
  store_parse_list(s, reinterpret_cast<const u8*>(body.data()), static_cast<u32>(body.size()));
  return s;
}

TEST(StoreList, OneNamePerLineWhateverTheLineEndsAndSpacesAtMostSixtyFourOfAtMostSixtyTwoCharacters) {
  std::string many = "\n\n  in side.txt   \r\n\r\n\n" + std::string(63, 'b') + "\n" + std::string(62, 'a') + "\n \r\n";
  for (int i = 0; i < 65; ++i) many += "f" + std::to_string(i) + "\n";
  const Names kept = names_of(parsed(many));
  EXPECT_EQ((Names{kept.at(0), kept.at(1), kept.at(2), kept.back()}),
            (Names{"in side.txt", std::string(62, 'a'), "f0", "f61"}));  // the 63-character name is skipped
  EXPECT_EQ(kept.size(), 64u);
}

// A Store window's state; each refresh gets a fresh server at the default store address.
class StoreRefresh : public nettest::NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    configure({10, 0, 2, 15});
    state.selected = -1;
    std::strcpy(state.server_url, kDefaultStoreServerUrl);
    windows_init();
    windows[0].in_use = 1;
    windows[0].app = app::kStore;
    windows[0].store = &state;
  }
  void TearDown() override {
    windows_init();
    NetTest::TearDown();
  }
  // An empty status: the server is down.
  void refresh_at(u32 tick, const std::string& status, const std::string& body) {
    nettest::TcpPeer& peer = peers.emplace_back();
    peer.ip = {10, 0, 2, 2};
    peer.our_ip = {10, 0, 2, 15};
    peer.port = 8088;
    peer.attach(*this, card);
    peer.reset_syn = status.empty();
    const std::string response = "HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size());
    peer.script.push_back({0, nettest::text(response + "\r\n\r\n" + body), kTcpAck | kTcpPsh | kTcpFin});
    pit_ticks = tick;
    state.refresh_pending = 1;
    store_refresh_pending();
    EXPECT_EQ(state.refresh_pending, 0u);
  }

  std::deque<nettest::TcpPeer> peers;
  StoreState state{};
};

TEST_F(StoreRefresh, AnUploadsDescriptionWaitsForTheNextListThatSucceedsAndFailuresKeepTheOldList) {
  refresh_at(5000, "200 OK", "a.txt\nb.png\n");  // a new window fetches at once, however soon after start
  EXPECT_STREQ(state.status, "Files: 2");
  EXPECT_EQ(nettest::str(peers[0].request).substr(0, 24), "GET /list HTTP/1.0\r\nHost");
  std::strcpy(state.last_upload_name, "mine.txt");
  std::strcpy(state.last_upload_desc, "my own words");
  state.selected = 1;
  const std::tuple<u32, const char*, const char*, const char*> failures[] = {
      {5000 + 1499, "200 OK", "a.txt\n", "Please wait 15s between refreshes"},
      {5000 + 1500, "404 Not Found", "mine.txt\n", "HTTP get failed"},
      {5000 + 3000, "200 OK", "", "Empty response"},
      {5000 + 4500, "", "", "HTTP get failed"}};  // the server is down
  for (const auto& [tick, status, body, words] : failures) {
    refresh_at(tick, status, body);
    EXPECT_STREQ(state.status, words);
    EXPECT_EQ(names_of(state), (Names{"a.txt", "b.png"})) << words;
    EXPECT_EQ(std::string(state.last_upload_name) + "|" + std::to_string(state.selected), "mine.txt|1");
  }
  refresh_at(5000 + 6000, "200 OK", "a.txt\r\nmine.txt\r\n");
  EXPECT_EQ(names_of(state), (Names{"a.txt", "mine.txt"}));
  EXPECT_EQ((Names{state.file_descs[0], state.file_descs[1]}), (Names{"", "my own words"}));
  EXPECT_EQ((std::vector<i32>{state.selected, state.last_upload_name[0], state.last_upload_desc[0]}),
            (std::vector<i32>{-1, 0, 0}));
}

class UploadDialogKeys : public WmTest {
 protected:
  void SetUp() override {
    WmTest::SetUp();
    upload_dialog_open();
  }
  static void keys(const std::string& text) {
    for (char c : text) upload_dialog_key(static_cast<u8>(c));
  }
  static std::string selected() { return upload_dialog.picker_sel < 0 ? "" : fs_nodes[upload_dialog.picker_sel].name; }
};

TEST_F(UploadDialogKeys, NameAndDescriptionWithinTheirLengthsAndThePickerWalksWrapsEntersAndTakesAFile) {
  keys("notes\b.txt\nA  long day\n!");  // Enter moves to the description, where it is ignored
  EXPECT_STREQ(upload_dialog.name, "note.txt");
  EXPECT_STREQ(upload_dialog.desc, "A  long day!");
  EXPECT_EQ(upload_dialog.focused_field, 1u);
  keys(std::string(300, 'd'));
  EXPECT_EQ(std::string(upload_dialog.desc).size(), 255u);
  keys("\t" + std::string(70, 'n'));  // Tab goes back to the name
  EXPECT_EQ(std::string(upload_dialog.name).size(), 63u);
  const i32 docs = fs_create(fs_root, "Documents", kFsDir);
  fs_create(docs, "a.txt", kFsFile);
  fs_create(docs, "b.txt", kFsFile);
  const i32 empty = fs_create(fs_root, "Empty", kFsDir);
  upload_picker_open();
  // Keys, then the folder shown and the entry selected.
  const std::tuple<const char*, const char*, const char*> steps[] = {
      {"j", "/", "Desktop"}, {"P", "/", "Documents"}, {"j", "/", "Empty"},          {"j", "/", "Desktop"},
      {"k", "/", "Empty"},   {"H", "/", "Documents"}, {"\n", "/Documents", ""},     {"k", "/Documents", "a.txt"},
      {"k", "/Documents", "b.txt"},                   {"\b", "/", ""},              {"jjj\n", "/Empty", ""},
      {"jk", "/Empty", ""}};
  for (const auto& [typed, folder, entry] : steps) {
    keys(typed);
    EXPECT_EQ(std::string(upload_dialog.picker_path) + "|" + selected(), std::string(folder) + "|" + entry) << typed;
  }
  EXPECT_TRUE(fs_is_live_dir(empty));
  keys("\x1b");  // Esc closes only the picker
  EXPECT_EQ((Ints{i32(upload_dialog.active), i32(upload_dialog.picker_open)}), (Ints{1, 0}));
  upload_picker_open();
  keys("jj\nj\n");
  EXPECT_EQ(upload_dialog.picker_open, 0u);
  EXPECT_STREQ(upload_dialog.file_path, "/Documents/a.txt");
  keys("\x1b");
  EXPECT_EQ(upload_dialog.active, 0u);
  keys("more");  // a closed dialog takes nothing
  EXPECT_EQ(std::string(upload_dialog.name).size(), 63u);
}

}  // namespace
}  // namespace tavlin::test
