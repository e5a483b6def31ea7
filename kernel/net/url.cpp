// The URL splitter shared by the browser, wget, the store client and the
// transfers.
#include "kernel/net/url.h"
#include "kernel/core/kstring.h"

namespace tavlin {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

const char* skip_scheme(const char* p) { return str_starts_nocase(p, "http://") ? p + 7 : p; }

// Digits after the colon; values above 65535 stop accumulating so a long run
// of digits cannot overflow.
const char* parse_port(const char* p, u16* port_out) {
  u32 value = 0;
  while (is_digit(*p)) {
    if (value <= 65535) value = value * 10 + static_cast<u32>(*p - '0');
    ++p;
  }
  if (value >= 1 && value <= 65535) *port_out = static_cast<u16>(value);
  return p;
}

}  // namespace

void browser_parse_url(const char* url, char* host_out, u16* port_out, char* path_out) {
  const char* p = url;
  while (*p == ' ') ++p;
  p = skip_scheme(p);
  *port_out = kHttpDefaultPort;
  u32 n = 0;
  while (*p && *p != '/' && *p != ':' && n < kUrlHostCap - 1) host_out[n++] = *p++;
  host_out[n] = 0;
  if (*p == ':') {
    ++p;
    if (is_digit(*p)) p = parse_port(p, port_out);
  }
  if (*p != '/') {
    path_out[0] = '/';
    path_out[1] = 0;
    return;
  }
  n = 0;
  while (*p && n < kUrlPathCap - 1) path_out[n++] = *p++;
  path_out[n] = 0;
}

}  // namespace tavlin
