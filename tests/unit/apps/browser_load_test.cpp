// The browser against a scripted HTTP server: the URL bar's keys and Enter,
// the history under Back, Forward and 31 navigations, and the words of each
// kind of load when the name does not resolve or the server refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

#include "kernel/apps/apps.h"
#include "kernel/apps/browser.h"
#include "kernel/wm/window.h"
#include "unit/net/tcp_peer.h"

namespace tavlin {
namespace {

constexpr i32 kBack = 15, kForward = 45, kReload = 70, kHome = 100, kUrlBar = 300;  // x in the button row

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
  // A fresh server for the next connection: it sends the response, or
  // resets the connection.
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

TEST_F(BrowserLoad, UrlBarEditsAndEnterLoadsWithTheSchemePrefixed) {
  type("abc");  // without the focus
  click(kUrlBar);
  type(std::string(7, '\b') + "\n" + "x\ty\x1b\b\b" + std::string(130, 'a'));  // Enter on an empty bar
  EXPECT_EQ(std::string(b.url_bar), std::string(127, 'a'));
  EXPECT_STREQ(b.status, "Ready");

  go("192.168.50.1/docs/a.html", "<h1>Hello</h1><p>there</p>");
  EXPECT_STREQ(b.url, "http://192.168.50.1/docs/a.html");
  EXPECT_STREQ(b.url_bar, b.url);
  const std::string request = nettest::str(peer.request);
  EXPECT_EQ(request.rfind("GET /docs/a.html HTTP/1.0\r\nHost: 192.168.50.1\r\n", 0), 0u) << request;
  EXPECT_EQ(std::string(b.status) + "|" + b.text, "Done|Hello\n\nthere");
  EXPECT_EQ((std::tuple{b.url_bar_focused, b.loading, b.error}), (std::tuple{0u, 0u, 0u}));

  std::ifstream raw(std::string(TAVLIN_TEST_PAGES) + "/no_separator.http", std::ios::binary);
  serve(std::string(std::istreambuf_iterator<char>(raw), {}));
  click(kUrlBar);
  type("\n");
  EXPECT_EQ(std::string(b.status) + "|" + b.text, "Done|");
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
  const struct {
    i32 button;  // the URL bar: Enter
    bool dns;    // the name does not resolve, else the server refuses
    const char* status;
    std::string text;  // empty: the old page stays, in black
  } cases[] = {
      {kUrlBar, true, "DNS resolution failed", no_host + "\n3. The hostname exists"},
      {kUrlBar, false, "HTTP request failed",
       "Connection failed.\n\nCheck the network adapter, link, routing and HTTP server."},
      {kBack, true, "DNS resolution failed", no_host},   {kBack, false, "Connection failed", ""},
      {kForward, true, "DNS resolution failed", ""},     {kForward, false, "Connection failed", ""},
      {kReload, true, "DNS resolution failed", ""},      {kReload, false, "Reload failed", ""},
  };
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
    EXPECT_EQ(b.error, c.text.empty() ? 0u : 1u) << c.button << c.dns;
    EXPECT_EQ((std::pair{b.loading, b.history_count}), (std::pair{0u, 3u}));
  }
}

}  // namespace
}  // namespace tavlin
