// Any response bytes through the header stripper, the status reader, the
// Content-Length reader and the judgement whether the response is whole.
#include <cstring>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/net/http.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  using namespace tavlin;
  fake_hw::reset();
  const u32 n = size < kHttpRespCap ? static_cast<u32>(size) : kHttpRespCap;
  std::memcpy(http_resp_buf, data, n);
  u32 body_length, declared = 0;
  const u8* body = http_strip_headers(n, &body_length);
  if (body && body + body_length > http_resp_buf + n) __builtin_trap();
  const std::vector<u8> exact(data, data + n);
  http_status_code(exact.data(), n);
  http_content_length(exact.data(), n, &declared);
  http_response_complete(n & 1, exact.data(), n, n);
  return 0;
}
