// The network calls: an HTTP GET whose body lands in the program's buffer,
// and a name resolved to its IPv4 address.
#include "kernel/core/kstring.h"
#include "kernel/net/dns.h"
#include "kernel/net/http.h"
#include "kernel/net/url.h"
#include "kernel/script/vm_parts.h"

namespace tavlin::vm {

// url, buffer, max: the body (or the whole response when it has no header
// end), at most max - 1 bytes, and a NUL.
i32 sys_http_get(Call& c) {
  const char* url = text_at(c.vm, address_arg(c, 0));
  if (!url) return 0;
  u8* buffer = out_buffer(c, 1, c.arg[2], 1, kHttpRespCap + 1);
  if (!buffer || c.arg[2] < 1) return 0;
  char host[kUrlHostCap], path[kUrlPathCap];
  u16 port;
  browser_parse_url(url, host, &port, path);
  u8 ip[4];
  if (!http_resolve_host(host, ip) || !http_get(ip, port, host, path)) return 0;
  const u32 length = http_resp_len < kHttpRespCap ? http_resp_len : kHttpRespCap;
  u32 body_length;
  const u8* body = http_strip_headers(length, &body_length);
  if (!body) {
    body = http_resp_buf;
    body_length = length;
  }
  const u32 room = static_cast<u32>(c.arg[2]) - 1;
  const u32 count = body_length < room ? body_length : room;
  memcpy(buffer, body, count);
  buffer[count] = 0;
  return static_cast<i32>(count);
}

// address out, name
i32 sys_dns_get(Call& c) {
  u8* out = write_span(c.vm, address_arg(c, 0), 4);
  if (!out) return 0;
  const char* name = text_at(c.vm, address_arg(c, 1));
  if (!name) return 0;
  u8 ip[4];
  if (!dns_resolve(name, ip)) return 0;
  memcpy(out, ip, 4);
  return 1;
}

}  // namespace tavlin::vm
