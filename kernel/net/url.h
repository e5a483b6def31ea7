// Splitting an HTTP URL into host, port and path, for every HTTP caller.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kUrlHostCap = 64;   // 63 characters and a NUL
constexpr u32 kUrlPathCap = 128;  // 127 characters and a NUL
constexpr u16 kHttpDefaultPort = 80;

// "http://" is optional and matched in any case; a missing or invalid port
// is 80, a missing path "/". Host and path are cut silently at their caps.
void browser_parse_url(const char* url, char* host_out, u16* port_out, char* path_out);

}  // namespace tavlin
