// Any DNS response message through the answer walk.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/net/dns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> message(data, data + size);  // exact size: ASan sees over-reads
  tavlin::u8 ip[4];
  tavlin::dns_parse_response(message.data(), static_cast<tavlin::u32>(size), ip);
  return 0;
}
