// Any text through the URL splitter; host and path land in buffers of exactly their documented sizes.
#include <memory>
#include <string>

#include "kernel/net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  const std::string url(reinterpret_cast<const char*>(data), size);  // NUL-terminated
  auto host = std::make_unique<char[]>(tavlin::kUrlHostCap);
  auto path = std::make_unique<char[]>(tavlin::kUrlPathCap);
  tavlin::u16 port;
  tavlin::browser_parse_url(url.c_str(), host.get(), &port, path.get());
  return 0;
}
