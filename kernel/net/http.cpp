// HTTP GET: one TCP connection from SYN to FIN per call, the response kept
// raw in http_resp_buf; and the header/body split every caller uses.
#include "kernel/net/http.h"

#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/arp.h"
#include "kernel/net/dns.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/tcp.h"

namespace tavlin {

u8 http_resp_buf[kHttpRespCap];
u32 http_resp_len;

namespace {

constexpr u32 kSynAttempts = 4;
constexpr u32 kSynWaitTicks = 300;
constexpr u32 kIdleTicks = 500;
constexpr u32 kRequestCap = kTcpMaxPayload + 1;

// Appends text to the request; 0 once it no longer fits.
u32 append(char* out, u32& n, const char* text) {
  while (*text) {
    if (n + 1 >= kRequestCap) return 0;
    out[n++] = *text++;
  }
  out[n] = 0;
  return 1;
}

u32 build_request(char* out, const char* host, const char* path) {
  u32 n = 0;
  out[0] = 0;
  const u32 ok = append(out, n, "GET ") && append(out, n, path) &&
                 append(out, n, " HTTP/1.0\r\nHost: ") && append(out, n, host) &&
                 append(out, n, "\r\nConnection: close\r\nUser-Agent: TavlinOS/0.2\r\n\r\n");
  return ok && n <= kTcpMaxPayload ? n : 0;
}

}  // namespace

u32 http_get(const u8* server_ip, u16 port, const char* host, const char* path) {
  if (ip_is_zero(net_my_ip)) return 0;
  http_resp_len = 0;
  // The request is built first: one too long for a segment fails before a
  // connection is opened and left half done.
  char request[kRequestCap];
  const u32 request_length = build_request(request, host, path);
  if (!request_length) return 0;
  TcpConnection c{};
  memcpy(c.peer_ip, server_ip, 4);
  u8 hop[4];
  net_route_next_hop(c.peer_ip, hop);
  if (!arp_resolve(hop, c.peer_mac)) return 0;
  const u32 now = ticks_now();
  c.local_port = static_cast<u16>((now | 0xC000) & 0xFFFF);
  c.remote_port = port;
  c.iss = (now * 1103515245u) ^ 0x10000000u;
  if (!tcp_open(c, kSynAttempts, kSynWaitTicks)) return 0;
  tcp_send(c, kTcpAck, nullptr, 0);
  tcp_send(c, kTcpPsh | kTcpAck, reinterpret_cast<const u8*>(request), request_length);
  c.snd_nxt += request_length;
  return tcp_receive_stream(c, http_resp_buf, kHttpRespCap, http_resp_len, kIdleTicks);
}

u8* http_strip_headers(u32 length, u32* body_length) {
  *body_length = 0;
  if (length > kHttpRespCap) length = kHttpRespCap;
  if (length <= 3) return nullptr;
  for (u32 i = 0; i + 4 <= length; ++i) {
    if (http_resp_buf[i] == '\r' && http_resp_buf[i + 1] == '\n' && http_resp_buf[i + 2] == '\r' &&
        http_resp_buf[i + 3] == '\n') {
      *body_length = length - (i + 4);
      return http_resp_buf + i + 4;
    }
  }
  return nullptr;
}

u32 http_status_code(const u8* buf, u32 length) {
  // "HTTP/1.x " then three digits
  if (length < 12) return 0;
  const char* prefix = "HTTP/";
  for (u32 i = 0; i < 5; ++i)
    if (buf[i] != static_cast<u8>(prefix[i])) return 0;
  u32 i = 5;
  while (i < length && buf[i] != ' ') ++i;
  if (i + 4 > length) return 0;
  u32 code = 0;
  for (u32 k = 1; k <= 3; ++k) {
    const u8 d = buf[i + k];
    if (d < '0' || d > '9') return 0;
    code = code * 10 + (d - '0');
  }
  return code;
}

u32 http_resolve_host(const char* host, u8* ip_out) {
  if (parse_ipv4(host, ip_out)) return 1;
  return dns_resolve(host, ip_out);
}

}  // namespace tavlin
