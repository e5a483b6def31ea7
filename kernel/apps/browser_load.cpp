// The browser's page loads: the URL is resolved and fetched, the body turned
// into page text, and each kind of load (Enter, Back, Forward, Reload) words
// its failures its own way. Also the history and the Home page.
#include "kernel/apps/browser.h"
#include "kernel/apps/browser_parts.h"
#include "kernel/core/kstring.h"
#include "kernel/net/http.h"
#include "kernel/net/url.h"

namespace tavlin::browser {
namespace {

constexpr const char* kDnsFailed = "DNS resolution failed";
constexpr const char* kNoHostText =
    "Could not resolve hostname.\n\nMake sure:\n1. Network is connected\n2. DNS server is reachable\n"
    "3. The hostname exists";
constexpr const char* kNoHostShortText =
    "Could not resolve hostname.\n\nMake sure:\n1. Network is connected\n2. DNS server is reachable";
constexpr const char* kNoConnectionText =
    "Connection failed.\n\nCheck the network adapter, link, routing and HTTP server.";

// What one kind of load shows while it runs and when it fails; a null text
// keeps the page that was there.
struct LoadWords {
  const char* resolving;
  const char* connecting;
  const char* dns_status;
  const char* dns_text;
  const char* http_status;
  const char* http_text;
};
constexpr LoadWords kEnterWords = {"Resolving...", "Connecting...", kDnsFailed, kNoHostText,
                                   "HTTP request failed", kNoConnectionText};
constexpr LoadWords kBackWords = {"Loading...", "Loading...", kDnsFailed, kNoHostShortText, "Connection failed",
                                  nullptr};
constexpr LoadWords kForwardWords = {"Loading...", "Loading...", kDnsFailed, nullptr, "Connection failed", nullptr};
constexpr LoadWords kReloadWords = {"Loading...", "Loading...", kDnsFailed, nullptr, "Reload failed", nullptr};

BrowserState& state() { return browser_state; }

void set_status(const char* text) { str_copy(state().status, text, kBrowserStatusCap); }

void set_text(const char* text) {
  state().text_len = str_copy(state().text, text, kBrowserTextCap);
  state().scroll = 0;
}

bool fail(const char* status, const char* text) {
  set_status(status);
  // The error flag always describes the text on show, so a kept page keeps
  // its colour.
  if (text) {
    set_text(text);
    state().error = 1;
  }
  return false;
}

// Fetches the current URL and shows its page; false with the failure shown.
bool fetch(const LoadWords& words) {
  set_status(words.resolving);
  char host[kUrlHostCap];
  char path[kUrlPathCap];
  u16 port = kHttpDefaultPort;
  browser_parse_url(state().url, host, &port, path);
  u8 ip[4];
  // A URL without a host has nothing to ask a resolver about.
  if (!host[0] || !http_resolve_host(host, ip)) return fail(words.dns_status, words.dns_text);
  set_status(words.connecting);
  if (!http_get(ip, port, host, path)) return fail(words.http_status, words.http_text);
  u32 body_length = 0;
  const u8* body = http_strip_headers(http_resp_len, &body_length);
  browser_html_to_text(body, body_length);
  state().scroll = 0;
  state().error = 0;
  set_status("Done");
  return true;
}

bool load(const LoadWords& words) {
  state().loading = 1;
  const bool fetched = fetch(words);
  state().loading = 0;
  return fetched;
}

void remember(const char* url) {
  BrowserState& b = state();
  if (b.history_count < 1 || b.history_index > kBrowserHistory - 2) {
    b.history_count = 1;
    b.history_index = 0;
  } else {
    b.history_index += 1;
    b.history_count = b.history_index + 1;  // forward entries are dropped
  }
  str_copy(b.history[b.history_index], url, kBrowserUrlCap);
}

// Shows history entry `index` in the bar and loads it.
void revisit(u32 index, const LoadWords& words) {
  BrowserState& b = state();
  b.history_index = index;
  str_copy(b.url, b.history[index], kBrowserUrlCap);
  b.url_bar_cursor = str_copy(b.url_bar, b.url, kBrowserUrlCap);
  load(words);
}

}  // namespace

void navigate() {
  BrowserState& b = state();
  b.url_bar_focused = 0;
  if (load(kEnterWords)) remember(b.url);
}

void back() {
  if (state().history_index >= 1 && state().history_index < kBrowserHistory)
    revisit(state().history_index - 1, kBackWords);
}

void forward() {
  const u32 next = state().history_index + 1;
  if (next < state().history_count && next < kBrowserHistory) revisit(next, kForwardWords);
}

void reload() { load(kReloadWords); }

void home() {
  BrowserState& b = state();
  str_copy(b.url, kBrowserHomeUrl, kBrowserUrlCap);
  b.url_bar_cursor = str_copy(b.url_bar, kBrowserHomeUrl, kBrowserUrlCap);
  b.error = 0;
  set_status("Home");
  set_text("Tavlin Web\n\nHome\n\nEnter an HTTP URL above.\nExample: ");
  str_cat(b.text, kBrowserHomeUrl);
  b.text_len = strlen(b.text);
}

}  // namespace tavlin::browser
