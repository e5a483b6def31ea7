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

TEST(BrowserParseUrl, ListedCases) {
  struct Case {
    const char* url;
    const char* host;
    u16 port;
    const char* path;
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
  };
  for (const auto& c : cases) {
    const Split s = split(c.url);
    EXPECT_EQ(s.host, c.host) << c.url;
    EXPECT_EQ(s.port, c.port) << c.url;
    EXPECT_EQ(s.path, c.path) << c.url;
  }
}

TEST(BrowserParseUrl, LongHostAndPathAreCut) {
  const std::string host(70, 'h');
  Split s = split(("http://" + host + "/p").c_str());
  EXPECT_EQ(s.host, std::string(63, 'h'));
  EXPECT_EQ(s.path, "/");  // the 64th character is neither ":" nor "/"
  s = split(("http://" + std::string(63, 'h') + ":81/p").c_str());
  EXPECT_EQ(s.port, 81);
  EXPECT_EQ(s.path, "/p");
  s = split(("h/" + std::string(300, 'p')).c_str());
  EXPECT_EQ(s.path, "/" + std::string(126, 'p'));
}

class StripHeaders : public ::testing::Test {
 protected:
  u32 put(const std::string& s) {
    std::memcpy(http_resp_buf, s.data(), s.size());
    return static_cast<u32>(s.size());
  }
};

TEST_F(StripHeaders, BodyAfterTheFirstBlankLine) {
  const u32 n = put("HTTP/1.0 404 Not Found\r\nA: b\r\n\r\nbody\r\n\r\nmore");
  u32 len = 99;
  const u8* body = http_strip_headers(n, &len);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(body), len), "body\r\n\r\nmore");
}

TEST_F(StripHeaders, BlankLineAsTheLastFourBytesGivesAnEmptyBody) {
  const u32 n = put("HTTP/1.0 200 OK\r\n\r\n");
  u32 len = 99;
  const u8* body = http_strip_headers(n, &len);
  EXPECT_NE(body, nullptr);
  EXPECT_EQ(len, 0u);
  EXPECT_EQ(body, http_resp_buf + n);
}

TEST_F(StripHeaders, NoBlankLineOrTooShortGivesNothing) {
  u32 len = 99;
  EXPECT_EQ(http_strip_headers(put("HTTP/1.0 200 OK\r\n\r"), &len), nullptr);
  EXPECT_EQ(len, 0u);
  put("\r\n\r\n");
  EXPECT_EQ(http_strip_headers(3, &len), nullptr);
  EXPECT_NE(http_strip_headers(4, &len), nullptr);
  put("ab\n\n\r\n\rx\r\n\r");  // near misses only
  EXPECT_EQ(http_strip_headers(12, &len), nullptr);
  put("HTTP/1.0 200 OK\r\n\r\nx");
  EXPECT_EQ(http_strip_headers(18, &len), nullptr);  // the blank line lies past `length`
}

TEST(HttpStatus, StatusLineOrNothing) {
  auto code = [](const std::string& s) {
    return http_status_code(reinterpret_cast<const u8*>(s.data()), static_cast<u32>(s.size()));
  };
  EXPECT_EQ(code("HTTP/1.0 200 OK\r\n"), 200u);
  EXPECT_EQ(code("HTTP/1.1 409 Conflict\r\n"), 409u);
  EXPECT_EQ(code("HTTP/1.0 20"), 0u);
  EXPECT_EQ(code("hello there, world"), 0u);
  EXPECT_EQ(code("HTTP/1.0 2x0 OK\r\n"), 0u);
}

}  // namespace
}  // namespace tavlin
