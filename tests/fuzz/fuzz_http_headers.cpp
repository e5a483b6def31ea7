// Any response bytes through the header stripper, the status reader, the
// Content-Length reader and the judgement whether the response is whole.
#include <cstring>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/net/http.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  fake_hw::reset();
  fake_hw::set_default(0x3FD, 0x20);  // serial transmitter always ready
  if (size > tavlin::kHttpRespCap) size = tavlin::kHttpRespCap;
  std::memcpy(tavlin::http_resp_buf, data, size);
  tavlin::u32 body_length;
  const tavlin::u8* body = tavlin::http_strip_headers(static_cast<tavlin::u32>(size), &body_length);
  if (body && body + body_length > tavlin::http_resp_buf + size) __builtin_trap();
  std::vector<tavlin::u8> exact(data, data + size);
  tavlin::http_status_code(exact.data(), static_cast<tavlin::u32>(size));
  tavlin::u32 declared = 0;
  tavlin::http_content_length(exact.data(), static_cast<tavlin::u32>(size), &declared);
  tavlin::http_response_complete(size & 1, exact.data(), static_cast<tavlin::u32>(size),
                                 static_cast<tavlin::u32>(size));
  return 0;
}
