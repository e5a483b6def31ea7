// The browser against a scripted HTTP server: the URL bar's keys and Enter,
// the history under Back, Forward and 31 navigations, Home, and what each
// load shows when the name does not resolve or the server refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "kernel/apps/apps.h"
#include "kernel/apps/browser.h"
#include "kernel/wm/window.h"
#include "unit/net/tcp_peer.h"

namespace tavlin {
namespace {

using nettest::Bytes;

// The content area of a 760 x 520 window at the origin.
constexpr i32 kW = 758, kH = 489;
constexpr i32 kButtonRow = 15, kBack = 15, kForward = 45, kReload = 70, kHome = 100, kUrlBar = 300;

class BrowserLoad : public nettest::NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    configure();
    browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
  }

  void click(i32 x, i32 y) { browser_app(&win, 0, 0, kW, kH, 2, x, y); }
  void type(const std::string& keys) {
    for (char c : keys) browser_app(&win, 0, 0, 0, 0, 3, static_cast<u8>(c), 0);
  }
  // The next connection gets this response; a fresh server each time.
  void serve(const std::string& response, bool refuse = false) {
    card.incoming.clear();
    card.peer = nullptr;
    peer = nettest::TcpPeer{};
    peer.attach(*this, card);
    peer.reset_syn = refuse;
    peer.script = {{0, Bytes(response.begin(), response.end()), kTcpAck | kTcpPsh | kTcpFin}};
  }
  void go(const std::string& url, const std::string& body) {
    serve("HTTP/1.0 200 OK\r\n\r\n" + body);
    click(kUrlBar, kButtonRow);
    type(std::string(strlen(browser_state.url_bar), '\b') + url + "\n");
  }
  std::string request() const { return std::string(peer.request.begin(), peer.request.end()); }

  Window win{};
  nettest::TcpPeer peer;
  const BrowserState& b = browser_state;
};

TEST_F(BrowserLoad, OpenGivesTheWelcomePage) {
  EXPECT_STREQ(win.title, "Tavlin Web");
  EXPECT_EQ((std::pair{win.w, win.h}), (std::pair{760, 520}));
  EXPECT_STREQ(b.url_bar, "http://");
  EXPECT_EQ(b.url_bar_cursor, 7u);
  EXPECT_STREQ(b.status, "Ready");
  EXPECT_STREQ(b.text, "Tavlin Web\n\nThis browser only supports HTML and HTTP currently");
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{1u, 0u}));
  EXPECT_STREQ(b.history[0], "http://");
}

TEST_F(BrowserLoad, UrlBarTakesKeysOnlyWhenFocused) {
  type("abc");
  EXPECT_STREQ(b.url_bar, "http://");
  click(kUrlBar, kButtonRow);
  type("\b\b\b\b\b\b\bx\ty\x1b\b\b");
  EXPECT_STREQ(b.url_bar, "");
  type("\n");  // an empty bar is not loaded
  EXPECT_EQ((std::pair{b.url_bar_focused, std::string(b.status)}), (std::pair{1u, std::string("Ready")}));
  type(std::string(130, 'a'));
  EXPECT_EQ(std::string(b.url_bar), std::string(127, 'a'));
  EXPECT_EQ(b.url_bar_cursor, 127u);
}

TEST_F(BrowserLoad, EnterLoadsTheBarWithTheSchemePrefixed) {
  go("192.168.50.1/docs/a.html", "<h1>Hello</h1><p>there</p>");
  EXPECT_STREQ(b.url, "http://192.168.50.1/docs/a.html");
  EXPECT_STREQ(b.url_bar, b.url);
  EXPECT_EQ(request().rfind("GET /docs/a.html HTTP/1.0\r\nHost: 192.168.50.1\r\n", 0), 0u) << request();
  EXPECT_STREQ(b.status, "Done");
  EXPECT_STREQ(b.text, "Hello\n\nthere");
  EXPECT_EQ((std::pair{b.url_bar_focused, b.loading}), (std::pair{0u, 0u}));
  go("HTTP://192.168.50.1:80", "");  // a scheme in any case is kept
  EXPECT_STREQ(b.url, "HTTP://192.168.50.1:80");
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{3u, 2u}));
}

TEST_F(BrowserLoad, ResponseWithoutHeaderEndShowsAnEmptyPage) {
  std::ifstream f(std::string(TAVLIN_TEST_PAGES) + "/no_separator.http", std::ios::binary);
  serve(std::string(std::istreambuf_iterator<char>(f), {}));
  click(kUrlBar, kButtonRow);
  type("192.168.50.1\n");
  EXPECT_STREQ(b.status, "Done");
  EXPECT_EQ((std::tuple{std::string(b.text), b.text_len}), (std::tuple{std::string(), 0u}));
}

TEST_F(BrowserLoad, HistoryBackForwardAndRestartAfter31Navigations) {
  click(kBack, kButtonRow);  // Back on the first entry: nothing is fetched
  click(kForward, kButtonRow);
  EXPECT_TRUE(card.sent.empty());
  for (int i = 1; i <= 31; ++i) go("192.168.50.1/" + std::to_string(i), "page " + std::to_string(i));
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{32u, 31u}));
  EXPECT_STREQ(b.history[31], "http://192.168.50.1/31");

  serve("HTTP/1.0 200 OK\r\n\r\nagain 30");
  click(kBack, kButtonRow);
  EXPECT_EQ((std::tuple{std::string(b.url), std::string(b.url_bar), std::string(b.text), b.history_index}),
            (std::tuple{std::string("http://192.168.50.1/30"), std::string(b.url), std::string("again 30"), 30u}));
  serve("HTTP/1.0 200 OK\r\n\r\nagain 31");
  click(kForward, kButtonRow);
  EXPECT_EQ((std::tuple{std::string(b.text), b.history_index}), (std::tuple{std::string("again 31"), 31u}));
  card.sent.clear();
  click(kForward, kButtonRow);  // Forward on the last entry does nothing
  EXPECT_TRUE(card.sent.empty());

  go("192.168.50.1/fresh", "fresh");  // the 32nd navigation restarts the history
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{1u, 0u}));
  EXPECT_STREQ(b.history[0], "http://192.168.50.1/fresh");
}

TEST_F(BrowserLoad, BackThenNewPageDropsTheForwardEntries) {
  go("192.168.50.1/a", "a");
  go("192.168.50.1/b", "b");
  serve("HTTP/1.0 200 OK\r\n\r\na");
  click(kBack, kButtonRow);
  go("192.168.50.1/c", "c");
  EXPECT_EQ((std::pair{b.history_count, b.history_index}), (std::pair{3u, 2u}));
  EXPECT_STREQ(b.history[2], "http://192.168.50.1/c");
}

TEST_F(BrowserLoad, EachLoadWordsItsFailures) {
  constexpr const char* kNoHost =
      "Could not resolve hostname.\n\nMake sure:\n1. Network is connected\n2. DNS server is reachable";
  const std::string kNoHostLong = std::string(kNoHost) + "\n3. The hostname exists";
  const std::string kNoConnection = "Connection failed.\n\nCheck the network adapter, link, routing and HTTP server.";
  const struct {
    i32 button;  // 0: Enter
    bool dns;    // the name fails to resolve, else the server refuses
    const char* status;
    std::string text;  // empty: the old page stays
  } cases[] = {
      {0, true, "DNS resolution failed", kNoHostLong}, {0, false, "HTTP request failed", kNoConnection},
      {kBack, true, "DNS resolution failed", kNoHost},  {kBack, false, "Connection failed", ""},
      {kForward, true, "DNS resolution failed", ""},    {kForward, false, "Connection failed", ""},
      {kReload, true, "DNS resolution failed", ""},     {kReload, false, "Reload failed", ""},
  };
  for (const auto& c : cases) {
    const char* url = c.dns ? "http://nowhere.test/" : "http://192.168.50.1/";
    browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
    BrowserState& s = browser_state;
    for (char* entry : {s.history[0], s.history[1], s.history[2], s.url, s.url_bar}) std::strcpy(entry, url);
    s.history_count = 3;
    s.history_index = 1;
    std::strcpy(s.text, "old page");
    s.text_len = 8;
    serve("", true);
    if (c.button) {
      click(c.button, kButtonRow);
    } else {
      click(kUrlBar, kButtonRow);
      type("\n");
    }
    EXPECT_STREQ(b.status, c.status) << c.button << c.dns;
    EXPECT_EQ(std::string(b.text), c.text.empty() ? "old page" : c.text) << c.button << c.dns;
    EXPECT_EQ(b.error, c.text.empty() ? 0u : 1u) << c.button << c.dns;
    EXPECT_EQ((std::pair{b.loading, b.history_count}), (std::pair{0u, 3u}));
  }
}

TEST_F(BrowserLoad, HomeShowsTheHomePageWithoutTheNetwork) {
  click(kHome, kButtonRow);
  EXPECT_TRUE(card.sent.empty());
  EXPECT_STREQ(b.url, "http://example.com/");
  EXPECT_STREQ(b.url_bar, "http://example.com/");
  EXPECT_STREQ(b.status, "Home");
  EXPECT_STREQ(b.text, "Tavlin Web\n\nHome\n\nEnter an HTTP URL above.\nExample: http://example.com/");
  EXPECT_EQ(b.text_len, std::strlen(b.text));
}

}  // namespace
}  // namespace tavlin
