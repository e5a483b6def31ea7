// Splitting URLs, and finding the body of a response.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kernel/net/http.h"
#include "kernel/net/url.h"

namespace tavlin {
namespace {

struct Split {
  std::string host;
  u16 port;
  std::string path;
};

Split split(const char* url) {
  char host[kUrlHostCap + 8], path[kUrlPathCap + 8];
  std::memset(host, 'Z', sizeof host);
  std::memset(path, 'Z', sizeof path);
  u16 port = 1;
  browser_parse_url(url, host, &port, path);
  EXPECT_EQ(host[kUrlHostCap], 'Z') << "host written past its 64 bytes";
  EXPECT_EQ(path[kUrlPathCap], 'Z') << "path written past its 128 bytes";
  return {host, port, path};
}

TEST(BrowserParseUrl, SplitsHostPortAndPath) {
  const std::string h63(63, 'h');
  struct Case {
    std::string url, host;
    u16 port;
    std::string path;
  } cases[] = {
      {"http://example.com/index.html", "example.com", 80, "/index.html"},
      {"HtTp://Example.COM", "Example.COM", 80, "/"},
      {"example.com", "example.com", 80, "/"},
      {"  http://spaced.test/x", "spaced.test", 80, "/x"},
      {"host:8080/a/b", "host", 8080, "/a/b"},
      {"http://host:0/a", "host", 80, "/a"},
      {"http://host:70000/a", "host", 80, "/a"},
      {"http://host:65535", "host", 65535, "/"},
      {"http://host:", "host", 80, "/"},
      {"http://host:/p", "host", 80, "/p"},
      {"http://host:x/p", "host", 80, "/"},
      {"http://host:99999999999999999999999/p", "host", 80, "/p"},
      {"http://", "", 80, "/"},
      {"", "", 80, "/"},
      {"http:/host/p", "http", 80, "/host/p"},
      {"10.0.2.2:8088/download/a b", "10.0.2.2", 8088, "/download/a b"},
      {"http://" + h63 + "hhh/p", h63, 80, "/"},  // cut at 63; the 64th is neither ":" nor "/"
      {"http://" + h63 + ":81/p", h63, 81, "/p"},
      {"h/" + std::string(300, 'p'), "h", 80, "/" + std::string(126, 'p')},
  };
  for (const auto& c : cases) {
    const Split s = split(c.url.c_str());
    EXPECT_EQ(s.host, c.host) << c.url;
    EXPECT_EQ(s.port, c.port) << c.url;
    EXPECT_EQ(s.path, c.path) << c.url;
  }
}

// Each case: the response, how much of it counts, and the body found (null: none).
TEST(StripHeaders, BodyStartsAfterTheFirstBlankLineWithinTheLength) {
  struct Case {
    std::string response;
    u32 length;
    const char* body;
  } cases[] = {
      {"HTTP/1.0 404 Not Found\r\nA: b\r\n\r\nbody\r\n\r\nmore", 44, "body\r\n\r\nmore"},
      {"HTTP/1.0 200 OK\r\n\r\n", 19, ""},  // an empty body, but one
      {"HTTP/1.0 200 OK\r\n\r", 18, nullptr},
      {"\r\n\r\n", 4, ""},
      {"\r\n\r\n", 3, nullptr},
      {"ab\n\n\r\n\rx\r\n\r", 12, nullptr},  // near misses only
      {"HTTP/1.0 200 OK\r\n\r\nx", 18, nullptr},  // the blank line lies past the length
  };
  for (const auto& c : cases) {
    std::memcpy(http_resp_buf, c.response.data(), c.response.size());
    u32 len = 99;
    const u8* body = http_strip_headers(c.length, &len);
    if (!c.body) {
      EXPECT_EQ(body, nullptr) << c.response;
      EXPECT_EQ(len, 0u) << c.response;
      continue;
    }
    ASSERT_NE(body, nullptr) << c.response;
    EXPECT_EQ(body + len, http_resp_buf + c.length) << c.response;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(body), len), c.body) << c.response;
  }
}

TEST(HttpStatus, StatusLineOrNothing) {
  const std::pair<std::string, u32> cases[] = {
      {"HTTP/1.0 200 OK\r\n", 200}, {"HTTP/1.1 409 Conflict\r\n", 409}, {"HTTP/1.0 20", 0},
      {"hello there, world", 0},    {"HTTP/1.0 2x0 OK\r\n", 0}};
  for (const auto& [line, code] : cases) {
    const auto* p = reinterpret_cast<const u8*>(line.data());
    EXPECT_EQ(http_status_code(p, static_cast<u32>(line.size())), code) << line;
  }
}

}  // namespace
}  // namespace tavlin
