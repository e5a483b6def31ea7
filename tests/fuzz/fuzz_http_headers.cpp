// Any response bytes through the header stripper and the status reader.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kernel/net/http.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > tavlin::kHttpRespCap) size = tavlin::kHttpRespCap;
  std::memcpy(tavlin::http_resp_buf, data, size);
  tavlin::u32 body_length;
  const tavlin::u8* body = tavlin::http_strip_headers(static_cast<tavlin::u32>(size), &body_length);
  if (body && body + body_length > tavlin::http_resp_buf + size) __builtin_trap();
  std::vector<uint8_t> exact(data, data + size);
  tavlin::http_status_code(exact.data(), static_cast<tavlin::u32>(size));
  return 0;
}
