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
  const std::pair<std::string, std::string> cases[] = {
      {"  HtTp://Example.COM", "Example.COM:80/"},
      {"host:8080/a/b", "host:8080/a/b"},
      {"http://host:0/a", "host:80/a"},
      {"http://host:99999999999999999999999/p", "host:80/p"},
      {"http://host:x/p", "host:80/"},
      {"http://" + std::string(66, 'h') + "/p", std::string(63, 'h') + ":80/"},  // the 64th is neither ":" nor "/"
      {"h/" + std::string(300, 'p'), "h:80/" + std::string(126, 'p')},
  };
  for (const auto& [url, split] : cases) {
    char host[kUrlHostCap], path[kUrlPathCap];
    u16 port = 1;
    browser_parse_url(url.c_str(), host, &port, path);
    EXPECT_EQ(std::string(host) + ":" + std::to_string(port) + path, split) << url;
  }
}

// The body starts after the first blank line inside the length.
TEST(HttpResponse, StatusAndBodyAreFoundOnlyWithinTheLength) {
  const std::tuple<std::string, u32, u32, const char*> cases[] = {  // response, its length; the status, the body
      {"HTTP/1.1 409 Conflict\r\nA: b\r\n\r\nbody\r\n\r\nmore", 43, 409, "body\r\n\r\nmore"},
      {"HTTP/1.0 200 OK\r\n\r\nx", 18, 200, nullptr},  // no body within the length
      {"HTTP/1.0 2x0 OK\r\n\r\n", 19, 0, ""},
      {"HTTP/1.00000 20", 15, 0, nullptr},
  };
  for (const auto& [response, length, status, expected_body] : cases) {
    std::memcpy(http_resp_buf, response.data(), response.size());
    EXPECT_EQ(http_status_code(http_resp_buf, length), status) << response;
    u32 len = 99;
    const u8* body = http_strip_headers(length, &len);
    EXPECT_EQ(body ? std::string(reinterpret_cast<const char*>(body), len) : "(none)",
              expected_body ? expected_body : "(none)");
    EXPECT_EQ(body ? body + len : http_resp_buf + length + len, http_resp_buf + length) << response;
  }
}

}  // namespace
}  // namespace tavlin
