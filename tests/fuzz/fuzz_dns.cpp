// Any DNS response message through the answer walk.
#include <vector>

#include "kernel/net/dns.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  std::vector<tavlin::u8> message(data, data + size);  // exact size: ASan sees over-reads
  tavlin::u8 ip[4];
  tavlin::dns_parse_response(message.data(), static_cast<tavlin::u32>(size), ip);
  return 0;
}
