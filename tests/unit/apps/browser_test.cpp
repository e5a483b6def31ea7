// The browser: its history and the words of each failed load against a scripted
// HTTP server; HTML to text; its window's scrollbar through the mouse dispatcher.

#include <fstream>
#include <iterator>
#include <tuple>

#include "kernel/apps/apps.h"
#include "kernel/apps/browser.h"
#include "unit/net/tcp_peer.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

constexpr i32 kBack = 15, kForward = 45, kReload = 70, kHome = 100, kUrlBar = 300;  // x in the button row

std::string page(const char* name) {
  std::ifstream f(std::string(TAVLIN_TEST_PAGES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(f) << name;
  return {std::istreambuf_iterator<char>(f), {}};
}

class BrowserLoad : public nettest::NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    configure();
    browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
  }
  // A press in the button row of a 760 x 520 window's content area.
  void click(i32 x) { browser_app(&win, 0, 0, 758, 489, 2, x, 15); }
  void type(const std::string& keys) {
    for (char c : keys) browser_app(&win, 0, 0, 0, 0, 3, static_cast<u8>(c), 0);
  }
  // A fresh server for the next connection: it sends the response, or resets the connection.
  void serve(const std::string& response, bool refuse = false) {
    card.incoming.clear();
    card.peer = nullptr;
    peer = nettest::TcpPeer{};
    peer.attach(*this, card);
    peer.reset_syn = refuse;
    peer.script = {{0, nettest::text(response), kTcpAck | kTcpPsh | kTcpFin}};
  }
  void go(const std::string& url, const std::string& body) {
    serve("HTTP/1.0 200 OK\r\n\r\n" + body);
    click(kUrlBar);
    type(std::string(std::strlen(b.url_bar), '\b') + url + "\n");
  }

  Window win{};
  nettest::TcpPeer peer;
  const BrowserState& b = browser_state;
};

TEST_F(BrowserLoad, HistoryBackForwardAndRestartAfter31Navigations) {
  click(kBack);     // on the first entry
  click(kForward);  // on the last
  EXPECT_TRUE(card.sent.empty());
  for (int i = 1; i <= 31; ++i) go("192.168.50.1/" + std::to_string(i), "page " + std::to_string(i));
  serve("HTTP/1.0 200 OK\r\n\r\nagain 30");
  click(kBack);
  EXPECT_EQ(std::string(b.url_bar) + "|" + b.text, "http://192.168.50.1/30|again 30");
  serve("HTTP/1.0 200 OK\r\n\r\nagain 31");
  click(kForward);
  EXPECT_EQ(std::string(b.url) + "|" + b.text, "http://192.168.50.1/31|again 31");
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{32u, 31u}));
  click(kHome);  // shows its own page and loads nothing
  EXPECT_EQ(std::string(b.status) + "|" + b.url_bar, std::string("Home|") + kBrowserHomeUrl);
  go("192.168.50.1/fresh", "fresh");  // the 32nd restarts the history
  go("192.168.50.1/next", "next");
  serve("HTTP/1.0 200 OK\r\n\r\nfresh");
  click(kBack);
  go("192.168.50.1/other", "other");  // drops the entry Forward would reach
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{2u, 1u}));
  EXPECT_EQ(std::string(b.history[0]) + " " + b.history[1], "http://192.168.50.1/fresh http://192.168.50.1/other");
}

TEST_F(BrowserLoad, EachLoadWordsItsFailures) {
  const std::string no_host =
      "Could not resolve hostname.\n\nMake sure:\n1. Network is connected\n2. DNS server is reachable";
  const std::string refused = "Connection failed.\n\nCheck the network adapter, link, routing and HTTP server.";
  // The button (the URL bar: Enter), whether the name fails to resolve (else the server refuses), the
  // status, and the text shown (empty: the old page stays, in black).
  const std::tuple<i32, bool, const char*, std::string> cases[] = {
      {kUrlBar, true, "DNS resolution failed", no_host + "\n3. The hostname exists"},
      {kUrlBar, false, "HTTP request failed", refused},  {kBack, true, "DNS resolution failed", no_host},
      {kBack, false, "Connection failed", ""},           {kForward, true, "DNS resolution failed", ""},
      {kForward, false, "Connection failed", ""},        {kReload, true, "DNS resolution failed", ""},
      {kReload, false, "Reload failed", ""}};
  for (const auto& [button, dns, status, words] : cases) {
    const char* url = dns ? "http://nowhere.test/" : "http://192.168.50.1/";
    browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
    BrowserState& s = browser_state;
    for (char* entry : {s.history[0], s.history[1], s.history[2], s.url, s.url_bar}) std::strcpy(entry, url);
    s.history_count = 3;
    s.history_index = 1;
    s.text_len = static_cast<u32>(std::strlen(std::strcpy(s.text, "old page")));
    serve("", true);
    click(button);
    if (button == kUrlBar) type("\n");
    EXPECT_EQ(std::string(b.status) + "|" + b.text, std::string(status) + "|" + (words.empty() ? "old page" : words));
    EXPECT_EQ((std::tuple{b.error, b.loading, b.history_count}), (std::tuple{words.empty() ? 0u : 1u, 0u, 3u}));
  }
}

std::string converted(const std::string& body) {
  browser_html_to_text(reinterpret_cast<const u8*>(body.data()), static_cast<u32>(body.size()));
  EXPECT_EQ(browser_state.text_len, std::strlen(browser_state.text));
  return browser_state.text;
}

TEST(BrowserHtml, CraftedBodiesAndPagesAsSitesSendThem) {
  const std::pair<std::string, std::string> cases[] = {
      {"<p>one</p><p>two</p>", "one\n\ntwo"},
      {"x<div class=\"wide\">y</div>z", "xy\nz"},  // attributes join the name: no break
      {"<script type=\"text/javascript\">var a = 1;</script>word", "word"},
      {"<STYLE>p { color: red }</Style>after", "after"},
      {"&copy; &lt;&gt;&quot;&AMP; &amp;&nbsp;&", "&copy; <>\"&AMP; & &"},
      {"<h3>Title</h3>text<br/>more<li>item", "Title\n\ntext\nmore\nitem"},
      {"</p><pre>a</pre><h7>b</h7>c", "\na\n\nbc"}, {"unclosed <b", "unclosed"},
      {page("article.html"),
       "Harbour News \nHome\nAbout\nFerry timetable & fares\n\nBoats leave at 7:15 & 9:40.\nTickets cost <5> "
       "coins.\n\nQuote: \"mind the gap\" &copy; 2026\n\nCalm seas expected.\nMon Tue\nopen shut\nContact: "
       "ahoy@harbour.test"}};
  for (const auto& [body, text] : cases) EXPECT_EQ(converted(body), text) << body;
}

// A 400 x 400 window at (100, 50): content at (101, 80), 398 x 369, with 26
// lines showing and a 311-pixel track whose top is at y = 118.
constexpr i32 kX = 101, kY = 80, kW = 398, kTrackTop = kY + 38;

class BrowserWindow : public DispatchTest {
 protected:
  static void page_of(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "Line\n";
    browser_state.text_len = static_cast<u32>(text.size()) - 1;
    std::strcpy(browser_state.text, text.c_str());
  }
};

TEST_F(BrowserWindow, ScrollbarPressGrabsTheThumbWhereItIsOrBringsItThere) {
  make_window(app::kBrowser, 100, 50, 400, 400);
  page_of(100);  // 74 hidden lines over 231 free pixels of track
  // The scroll, the press's y in the track (on, above and below the thumb), the scroll once grabbed and
  // after moving up 100 pixels.
  const Ints cases[] = {{74, 271, 74, 41}, {74, 10, 0, 0}, {0, 200, 51, 19}};
  for (const Ints& c : cases) {
    browser_state.scroll = u32(c[0]);
    press_pass(kX + kW - 7, kTrackTop + c[1]);
    move_pass(kX + kW - 7, kTrackTop + c[1]);
    EXPECT_EQ((Ints{i32(browser_state.scroll), i32(browser_state.dragging)}), (Ints{c[2], 1})) << c[1];
    move_pass(kX + kW - 7, kTrackTop + c[1] - 100);
    EXPECT_EQ(i32(browser_state.scroll), c[3]) << c[1];
    release_pass();
  }
  page_of(20);  // everything fits: nothing to grab
  press_pass(kX + kW - 7, kTrackTop + 5);
  EXPECT_EQ(browser_state.dragging, 0u);
}

}  // namespace
}  // namespace tavlin::test
