// HTTP GET: one TCP connection from SYN to FIN per call, the response kept
// raw in http_resp_buf; the header/body split every caller uses, and the
// judgement whether a response arrived whole.
#include "kernel/net/http.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/arp.h"
#include "kernel/net/dns.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/tcp.h"

namespace tavlin {

u8 http_resp_buf[kHttpRespCap];
u32 http_resp_len;
u32 http_resp_total;

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
  http_resp_total = 0;
  const u32 start = ticks_now();
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
  c.unacked = reinterpret_cast<const u8*>(request);
  c.unacked_length = request_length;
  TcpReceiveBuffer in{http_resp_buf, kHttpRespCap, http_resp_len};
  const TcpReceiveEnd end = tcp_receive_stream(c, in, kIdleTicks, start + kHttpTransferTicks);
  http_resp_total = c.received;
  return http_response_complete(end == TcpReceiveEnd::Closed, http_resp_buf, http_resp_len,
                                http_resp_total);
}

namespace {

// The body after the first blank line of buf.
const u8* http_body_of(const u8* buf, u32 length, u32* body_length) {
  *body_length = 0;
  if (length <= 3) return nullptr;
  for (u32 i = 0; i + 4 <= length; ++i) {
    if (buf[i] == '\r' && buf[i + 1] == '\n' && buf[i + 2] == '\r' && buf[i + 3] == '\n') {
      *body_length = length - (i + 4);
      return buf + i + 4;
    }
  }
  return nullptr;
}

}  // namespace

u8* http_strip_headers(u32 length, u32* body_length) {
  if (length > kHttpRespCap) length = kHttpRespCap;
  return const_cast<u8*>(http_body_of(http_resp_buf, length, body_length));
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

namespace {

bool header_name_is(const u8* line, u32 length, const char* name) {
  u32 i = 0;
  for (; name[i]; ++i) {
    if (i >= length) return false;
    u8 c = line[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<u8>(c + 32);
    if (c != static_cast<u8>(name[i])) return false;
  }
  return true;
}

// The decimal value after the name and optional blanks, up to the line end;
// 0 when anything else stands there or the value does not fit 32 bits.
u32 header_number(const u8* p, u32 length, u32* out) {
  u32 i = 0;
  while (i < length && (p[i] == ' ' || p[i] == '\t')) ++i;
  u64 value = 0;
  u32 digits = 0;
  for (; i < length && p[i] >= '0' && p[i] <= '9'; ++i, ++digits) {
    value = value * 10 + (p[i] - '0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  while (i < length && (p[i] == ' ' || p[i] == '\t')) ++i;
  if (!digits || i != length) return 0;
  *out = static_cast<u32>(value);
  return 1;
}

}  // namespace

u32 http_content_length(const u8* buf, u32 length, u32* out) {
  constexpr const char* kName = "content-length:";
  constexpr u32 kNameLength = 15;
  u32 line = 0;
  while (line < length) {
    u32 end = line;
    while (end < length && buf[end] != '\r' && buf[end] != '\n') ++end;
    if (end == line || end >= length) return 0;  // the blank line, or the headers run on
    if (header_name_is(buf + line, end - line, kName))
      return header_number(buf + line + kNameLength, end - line - kNameLength, out);
    line = end + (end + 1 < length && buf[end] == '\r' && buf[end + 1] == '\n' ? 2 : 1);
  }
  return 0;
}

u32 http_response_complete(u32 closed_by_peer, const u8* buf, u32 kept, u32 total) {
  const char* why = nullptr;
  u32 declared = 0;
  u32 body = 0;
  const u8* start = http_body_of(buf, kept, &body);
  if (total == 0) {
    why = "no response";
  } else if (start && http_content_length(buf, static_cast<u32>(start - buf), &declared)) {
    // Counted over the whole stream: bytes past the buffer still arrived.
    const u32 received = total - static_cast<u32>(start - buf);
    if (received < declared) why = "fewer bytes than Content-Length";
  } else if (!closed_by_peer) {
    why = "the connection ended before the server closed it";
  }
  if (!why) return 1;
  serial_puts("[HTTP] response incomplete: ");
  serial_puts(why);
  serial_puts("\n");
  return 0;
}

}  // namespace tavlin
