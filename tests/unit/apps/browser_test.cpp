// The browser: its URL bar, history and the words of each failed load against
// a scripted HTTP server; HTML to text and the word wrap; its window's
// scrollbar through the mouse dispatcher and the address bar it paints.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "kernel/apps/apps.h"
#include "kernel/apps/browser.h"
#include "unit/apps/app_screen.h"
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

TEST_F(BrowserLoad, UrlBarTakesKeysOnlyWhenFocusedAndAResponseWithoutHeadersEndShowsNothing) {
  type("abc");  // without the focus
  click(kUrlBar);
  type(std::string(7, '\b') + "\n" + "x\ty\x1b\b\b" + std::string(130, 'a'));  // Enter on an empty bar
  EXPECT_EQ(std::string(b.status) + "|" + b.url_bar, "Ready|" + std::string(127, 'a'));
  serve(page("no_separator.http"));
  type(std::string(127, '\b') + "192.168.50.1/raw\n");
  EXPECT_EQ(std::string(b.status) + "|" + b.url + "|" + b.text, "Done|http://192.168.50.1/raw|");
}

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
  const struct {
    i32 button;  // the URL bar: Enter
    bool dns;    // the name does not resolve, else the server refuses
    const char* status;
    std::string text;  // empty: the old page stays, in black
  } cases[] = {{kUrlBar, true, "DNS resolution failed", no_host + "\n3. The hostname exists"},
               {kUrlBar, false, "HTTP request failed", refused},   {kBack, true, "DNS resolution failed", no_host},
               {kBack, false, "Connection failed", ""},            {kForward, true, "DNS resolution failed", ""},
               {kForward, false, "Connection failed", ""},         {kReload, true, "DNS resolution failed", ""},
               {kReload, false, "Reload failed", ""}};
  for (const auto& c : cases) {
    const char* url = c.dns ? "http://nowhere.test/" : "http://192.168.50.1/";
    browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
    BrowserState& s = browser_state;
    for (char* entry : {s.history[0], s.history[1], s.history[2], s.url, s.url_bar}) std::strcpy(entry, url);
    s.history_count = 3;
    s.history_index = 1;
    s.text_len = static_cast<u32>(std::strlen(std::strcpy(s.text, "old page")));
    serve("", true);
    click(c.button);
    if (c.button == kUrlBar) type("\n");
    const std::string text = c.text.empty() ? "old page" : c.text;
    EXPECT_EQ(std::string(b.status) + "|" + b.text, std::string(c.status) + "|" + text) << c.button;
    EXPECT_EQ((std::tuple{b.error, b.loading, b.history_count}), (std::tuple{c.text.empty() ? 0u : 1u, 0u, 3u}));
  }
}

std::string converted(const std::string& body) {
  browser_html_to_text(reinterpret_cast<const u8*>(body.data()), static_cast<u32>(body.size()));
  EXPECT_EQ(browser_state.text_len, std::strlen(browser_state.text));
  return browser_state.text;
}

TEST(BrowserHtml, CraftedBodiesAndPagesAsSitesSendThem) {
  const struct {
    std::string body, text;
  } cases[] = {
      {"<p>one</p><p>two</p>", "one\n\ntwo"},
      {"x<div class=\"wide\">y</div>z", "xy\nz"},  // attributes join the name: no break
      {"<script type=\"text/javascript\">var a = 1;</script>word", "word"},
      {"<STYLE>p { color: red }</Style>after", "after"},
      {"&copy; &lt;&gt;&quot;&AMP; &amp;&nbsp;&", "&copy; <>\"&AMP; & &"},
      {"<h3>Title</h3>text<br/>more<li>item", "Title\n\ntext\nmore\nitem"},
      {"</p><pre>a</pre><h7>b</h7>c", "\na\n\nbc"},
      {"unclosed <b", "unclosed"},
      {page("article.html"),
       "Harbour News \nHome\nAbout\nFerry timetable & fares\n\nBoats leave at 7:15 & 9:40.\nTickets cost <5> "
       "coins.\n\nQuote: \"mind the gap\" &copy; 2026\n\nCalm seas expected.\nMon Tue\nopen shut\nContact: "
       "ahoy@harbour.test"},
  };
  for (const auto& c : cases) EXPECT_EQ(converted(c.body), c.text) << c.body;
}

TEST(BrowserWrap, LinesBreakAtNewlinesSpacesOrMidWord) {
  const struct {
    std::string text;
    i32 width;
    i32 lines;
    std::vector<u32> starts;  // of the first lines
  } cases[] = {{"aaa bbb ccc", 5, 3, {0, 4, 8}}, {"aaa bbb ccc", 8, 2, {0, 8}}, {"abcdefghij", 4, 3, {0, 4, 8}},
               {"abcd\nef", 4, 2, {0, 5}},  // a line that fills the width exactly
               {" abcdef", 3, 3, {0, 3, 6}},  // a space at the line's start is no break point
               {"ab\n\ncd", 40, 3, {0, 3, 4}},
               {std::string(kBrowserTextCap - 1, '\n'), 40, static_cast<i32>(kBrowserMaxLines), {0, 1, 2}}};
  u32 starts[kBrowserMaxLines];
  for (const auto& c : cases) {
    std::strcpy(browser_state.text, c.text.c_str());
    ASSERT_EQ(browser_wrap_lines(static_cast<u32>(c.text.size()), c.width, starts), c.lines) << c.text;
    EXPECT_EQ(std::vector<u32>(starts, starts + c.starts.size()), c.starts) << c.text;
  }
  std::memset(&browser_state, 0, sizeof browser_state);
}

// A 400 x 400 window at (100, 50): content at (101, 80), 398 x 369, with 26
// lines showing and a 311-pixel track whose top is at y = 118.
constexpr i32 kX = 101, kY = 80, kW = 398, kH = 369, kTrackTop = kY + 38;

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
  const struct {
    u32 scroll;
    i32 y;  // pressed, in the track
    u32 grabbed, moved_up_100;
  } cases[] = {{74, 271, 74, 41}, {74, 10, 0, 0}, {0, 200, 51, 19}};  // on, above and below the thumb
  for (const auto& c : cases) {
    browser_state.scroll = c.scroll;
    press_pass(kX + kW - 7, kTrackTop + c.y);
    move_pass(kX + kW - 7, kTrackTop + c.y);
    EXPECT_EQ((std::pair{browser_state.scroll, browser_state.dragging}), (std::pair{c.grabbed, 1u})) << c.y;
    move_pass(kX + kW - 7, kTrackTop + c.y - 100);
    EXPECT_EQ(browser_state.scroll, c.moved_up_100) << c.y;
    release_pass();
  }
  page_of(20);  // everything fits: nothing to grab
  press_pass(kX + kW - 7, kTrackTop + 5);
  EXPECT_EQ(browser_state.dragging, 0u);
}

TEST_F(BrowserWindow, TheAddressBarShowsTheTailOfALongAddressAndTheScrollStopsAtTheLastPage) {
  Window win{};
  browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
  // 32 characters fit the 270-pixel bar: only the tail shows.
  std::strcpy(browser_state.url_bar, ("http://" + std::string(60, 'a') + "Qtail-of-the-long-address.test/x").c_str());
  page_of(100);
  browser_state.scroll = 500;
  browser_app(&win, kX, kY, kW, kH, 1, 0, 0);
  EXPECT_TRUE(text_drawn_at(kX + 124, kY + 14, "Qtail", 0x202020));
  EXPECT_EQ(browser_state.scroll, 74u);
}

}  // namespace
}  // namespace tavlin::test
