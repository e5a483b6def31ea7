// Splitting URLs, and finding the status and the body of a response.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kernel/net/http.h"
#include "kernel/net/url.h"

namespace tavlin {
namespace {

// Host and path buffers of exactly their caps: ASan sees a write past them.
TEST(BrowserParseUrl, SplitsHostPortAndPath) {
  const std::string h63(63, 'h');
  struct Case {
    std::string url, host;
    u16 port;
    std::string path;
  } cases[] = {
      {"  HtTp://Example.COM", "Example.COM", 80, "/"},
      {"host:8080/a/b", "host", 8080, "/a/b"},
      {"http://host:0/a", "host", 80, "/a"},
      {"http://host:99999999999999999999999/p", "host", 80, "/p"},
      {"http://host:65535", "host", 65535, "/"},
      {"http://host:/p", "host", 80, "/p"},
      {"http://host:x/p", "host", 80, "/"},
      {"http:/host/p", "http", 80, "/host/p"},
      {"http://" + h63 + "hhh/p", h63, 80, "/"},  // cut at 63; the 64th is neither ":" nor "/"
      {"h/" + std::string(300, 'p'), "h", 80, "/" + std::string(126, 'p')},
  };
  for (const auto& c : cases) {
    char host[kUrlHostCap], path[kUrlPathCap];
    u16 port = 1;
    browser_parse_url(c.url.c_str(), host, &port, path);
    const std::string want = c.host + ":" + std::to_string(c.port) + c.path;
    EXPECT_EQ(std::string(host) + ":" + std::to_string(port) + path, want) << c.url;
  }
}

// The body starts after the first blank line inside the length (null: none).
TEST(HttpResponse, StatusAndBodyAreFoundOnlyWithinTheLength) {
  const struct {
    std::string response;
    u32 length, status;
    const char* body;
  } cases[] = {
      {"HTTP/1.1 409 Conflict\r\nA: b\r\n\r\nbody\r\n\r\nmore", 43, 409, "body\r\n\r\nmore"},
      {"HTTP/1.0 200 OK\r\n\r\n", 19, 200, ""},
      {"HTTP/1.0 200 OK\r\n\r\nx", 18, 200, nullptr},
      {"ab\n\n\r\n\rx\r\n\r", 12, 0, nullptr},
      {"HTTP/1.0 2x0 OK\r\n\r\n", 19, 0, ""},
      {"HTTP/1.00000 20", 15, 0, nullptr},
      {"hello there, world", 18, 0, nullptr},
  };
  for (const auto& c : cases) {
    std::memcpy(http_resp_buf, c.response.data(), c.response.size());
    EXPECT_EQ(http_status_code(http_resp_buf, c.length), c.status) << c.response;
    u32 len = 99;
    const u8* body = http_strip_headers(c.length, &len);
    const std::string found = body ? std::string(reinterpret_cast<const char*>(body), len) : "(none)";
    EXPECT_EQ(found, c.body ? c.body : "(none)") << c.response;
    if (body)
      EXPECT_EQ(body + len, http_resp_buf + c.length) << c.response;
    else
      EXPECT_EQ(len, 0u) << c.response;
  }
}

}  // namespace
}  // namespace tavlin
