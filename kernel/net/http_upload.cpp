// File upload to the store server: one multipart/form-data POST to
// "/upload", streamed within the server's receive window.
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/fs/fs.h"
#include "kernel/net/arp.h"
#include "kernel/net/dns.h"
#include "kernel/net/http.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/tcp.h"
#include "kernel/net/url.h"

namespace tavlin {

u8 post_buf[kPostBufCap];
u8 http_tx[kHttpTxCap];

namespace {

constexpr const char* kBoundary = "----TavlinUploadBoundary12345678";
constexpr u32 kHeaderCap = 510;
constexpr u32 kSegment = 1400;
constexpr u32 kSynAckTicks = 300;
constexpr u32 kResponseTicks = 400;
constexpr u32 kResponseLogBytes = 64;

// A bounded text builder over a byte buffer.
struct Text {
  u8* out;
  u32 cap;
  u32 n;
  bool ok;
  void add(const char* s) {
    while (*s) add_byte(static_cast<u8>(*s++));
  }
  void add_bytes(const u8* p, u32 count) {
    if (count > cap - n) {
      ok = false;
      return;
    }
    memcpy(out + n, p, count);
    n += count;
  }
  void add_byte(u8 b) {
    if (n >= cap) {
      ok = false;
      return;
    }
    out[n++] = b;
  }
  void add_dec(u32 v) {
    char digits[12];
    int_to_str(static_cast<i32>(v), digits, 1);
    add(digits);
  }
};

// The file's bytes: its blob when it has one, else its inline text.
const u8* file_bytes(i32 node, u32& length) {
  const u8* blob = fs_blob_data(node, &length);
  if (blob) return blob;
  const FsNode& n = fs_nodes[node];
  length = n.size < kFsTextCap ? n.size : kFsTextCap - 1;
  return reinterpret_cast<const u8*>(n.text);
}

// A name that would end the quoted filename or the header line early.
bool name_is_safe(const char* name) {
  for (const char* p = name; *p; ++p)
    if (*p == '"' || *p == '\r' || *p == '\n') return false;
  return true;
}

u32 build_body(const char* remote_name, const u8* file, u32 file_length) {
  Text part{post_buf, kHeaderCap + 1, 0, true};
  part.add("--");
  part.add(kBoundary);
  part.add("\r\nContent-Disposition: form-data; name=\"file\"; filename=\"");
  part.add(remote_name);
  part.add("\"\r\nContent-Type: application/octet-stream\r\n\r\n");
  if (!part.ok || part.n > kHeaderCap) {
    serial_puts("[UPLOAD] header too long\n");
    return 0;
  }
  Text body{post_buf, kPostBufCap, part.n, true};
  body.add_bytes(file, file_length);
  if (!body.ok) {
    serial_puts("[UPLOAD] file too large for buffer\n");
    return 0;
  }
  body.add("\r\n--");
  body.add(kBoundary);
  body.add("--\r\n");
  return body.ok ? body.n : 0;
}

u32 build_request(const char* host, u32 body_length) {
  Text h{http_tx, kHeaderCap + 1, 0, true};
  h.add("POST /upload HTTP/1.0\r\nHost: ");
  h.add(host);
  h.add("\r\nContent-Type: multipart/form-data; boundary=");
  h.add(kBoundary);
  h.add("\r\nContent-Length: ");
  h.add_dec(body_length);
  h.add("\r\nConnection: close\r\n\r\n");
  if (!h.ok || h.n > kHeaderCap) {
    serial_puts("[UPLOAD] request header too long\n");
    return 0;
  }
  memcpy(http_tx + h.n, post_buf, body_length);
  return h.n + body_length;
}

void log_start(const char* host, u16 port, const char* local, const char* remote) {
  serial_puts("[UPLOAD] host=");
  serial_puts(host);
  serial_puts(" port=");
  serial_dec32(port);
  serial_puts(" path=/upload local=");
  serial_puts(local);
  serial_puts(" remote=");
  serial_puts(remote);
  serial_puts("\n");
}

u32 resolve(const char* host, u8* ip) {
  if (!parse_ipv4(host, ip)) {
    serial_puts("[UPLOAD] DNS resolving...\n");
    if (!dns_resolve(host, ip)) {
      serial_puts("[UPLOAD] DNS failed\n");
      return 0;
    }
  }
  serial_puts("[UPLOAD] IP resolved\n");
  return 1;
}

// The request bytes in http_tx ready to go; 0 with the reason logged.
u32 prepare(const char* host, const char* local_path, const char* remote_name) {
  const i32 node = fs_resolve_path(local_path);
  if (node < 0) {
    serial_puts("[UPLOAD] fs_resolve_path failed for: ");
    serial_puts(local_path);
    serial_puts("\n");
    return 0;
  }
  if (!fs_is_live_file(node)) {
    serial_puts("[UPLOAD] fs_get_file_data failed\n");
    return 0;
  }
  u32 file_length = 0;
  const u8* file = file_bytes(node, file_length);
  serial_puts("[UPLOAD] file_len=");
  serial_dec32(file_length);
  serial_puts("\n");
  if (!name_is_safe(remote_name)) {
    serial_puts("[UPLOAD] remote name not allowed\n");
    return 0;
  }
  const u32 body_length = build_body(remote_name, file, file_length);
  if (!body_length) return 0;
  serial_puts("[UPLOAD] body size=");
  serial_dec32(body_length);
  serial_puts("\n");
  const u32 total = build_request(host, body_length);
  if (!total) return 0;
  serial_puts("[UPLOAD] total TX=");
  serial_dec32(total);
  serial_puts("\n");
  return total;
}

void log_response(const TcpSegment& s) {
  serial_puts("[UPLOAD] response: ");
  const u32 n = s.payload_length < kResponseLogBytes ? s.payload_length : kResponseLogBytes;
  for (u32 i = 0; i < n; ++i)
    if (s.payload[i] >= 32 && s.payload[i] < 127) serial_putc(static_cast<char>(s.payload[i]));
  serial_puts("\n");
}

// The server's answer decides: any answer is success unless it is an HTTP
// status line saying otherwise. A bare FIN counts as an answer.
u32 finish(TcpConnection& c, const TcpSegment& s) {
  const u32 fin = s.flags & kTcpFin ? 1 : 0;
  if (s.payload_length) log_response(s);
  c.rcv_nxt = c.peer_iss + 1 + fin;
  tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
  const u32 status = http_status_code(s.payload, s.payload_length);
  if (status && (status < 200 || status > 299)) {
    serial_puts("[UPLOAD] server refused the file\n");
    return 0;
  }
  serial_puts("[UPLOAD] SUCCESS\n");
  return 1;
}

u32 await_response(TcpConnection& c, u32 transfer_deadline) {
  const u32 deadline = earlier_tick(ticks_now() + kResponseTicks, transfer_deadline);
  TcpSegment s;
  while (tcp_next_segment(c, deadline, s)) {
    if (tcp_is_answer(c, s)) return finish(c, s);
  }
  c.rcv_nxt = c.peer_iss + 1;
  tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
  serial_puts("[UPLOAD] no response\n");
  return 0;
}

}  // namespace

u32 http_post_file(const char* server_url, const char* local_path, const char* remote_name) {
  char host[kUrlHostCap];
  char path[kUrlPathCap];
  u16 port = 0;
  browser_parse_url(server_url, host, &port, path);
  log_start(host, port, local_path, remote_name);
  TcpConnection c{};
  if (!resolve(host, c.peer_ip)) return 0;
  const u32 total = prepare(host, local_path, remote_name);
  if (!total) return 0;
  u8 hop[4];
  net_route_next_hop(c.peer_ip, hop);
  if (!arp_resolve(hop, c.peer_mac)) {
    serial_puts("[UPLOAD] ARP failed\n");
    return 0;
  }
  const u32 now = ticks_now();
  c.local_port = static_cast<u16>(49152 + now % 10000);
  c.remote_port = port;
  c.iss = now + 0x3000;
  if (!tcp_open(c, 1, kSynAckTicks)) {
    serial_puts("[UPLOAD] SYN-ACK timeout\n");
    return 0;
  }
  serial_puts("[UPLOAD] SYN-ACK received\n");
  tcp_send(c, kTcpAck, nullptr, 0);
  TcpSegment answer;
  const u32 deadline = now + kHttpTransferTicks;
  const TcpSendResult sent = tcp_send_stream(c, http_tx, total, kSegment, answer, deadline);
  serial_puts("[UPLOAD] data sent, waiting for response\n");
  if (sent == TcpSendResult::Answered) return finish(c, answer);
  if (sent == TcpSendResult::Failed || sent == TcpSendResult::TimedOut) {
    serial_puts(sent == TcpSendResult::Failed ? "[UPLOAD] connection lost while sending\n"
                                              : "[UPLOAD] transfer took too long\n");
    c.rcv_nxt = c.peer_iss + 1;
    tcp_send(c, kTcpFin | kTcpAck, nullptr, 0);
    return 0;
  }
  return await_response(c, deadline);
}

}  // namespace tavlin
