// The DNS resolver: query encoding, the wait for the answer and the answer
// walk. Names in answers are skipped, never followed, so a compression
// pointer can neither loop nor lead outside the message.
#include "kernel/net/dns.h"

#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/arp.h"
#include "kernel/net/ethernet.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/udp.h"
#include "kernel/net/wire.h"

namespace tavlin {
namespace {

constexpr u16 kDnsPort = 53;
constexpr u16 kFlagsRecursionDesired = 0x0100;
constexpr u16 kTypeA = 1;
constexpr u16 kClassIn = 1;
constexpr u32 kMaxLabel = 63;
constexpr u32 kHeaderLen = sizeof(wire::DnsHeader);
constexpr u32 kQueryCap = kHeaderLen + kDnsMaxEncodedName + 4;
constexpr u32 kWaitTicks = 300;
constexpr u8 kFallbackServers[2][4] = {{8, 8, 8, 8}, {1, 1, 1, 1}};

// Name labels at out: a length byte per dot-separated part, then 0. Returns
// the encoded length, 0 when over the limit or a part is too long for a
// label (its length byte would read as a pointer).
u32 encode_name(const char* name, u8* out) {
  u32 n = 0;
  const char* part = name;
  for (;;) {
    u32 len = 0;
    while (part[len] && part[len] != '.') ++len;
    if (len > kMaxLabel || n + 1 + len + 1 > kDnsMaxEncodedName) return 0;
    out[n++] = static_cast<u8>(len);
    memcpy(out + n, part, len);
    n += len;
    if (!part[len]) break;
    part += len + 1;
  }
  out[n++] = 0;
  return n;
}

// Position after the name at pos, or 0 when it does not end inside the
// message. A compression pointer ends a name; it is not followed, but one
// that does not point back to an earlier byte (to itself, forward or past
// the end) marks the message as malformed.
u32 skip_name(const u8* m, u32 length, u32 pos) {
  while (pos < length) {
    const u8 b = m[pos];
    if (b == 0) return pos + 1;
    if (b >= 0xC0) {
      if (pos + 2 > length) return 0;
      const u32 target = static_cast<u32>(b & 0x3F) << 8 | m[pos + 1];
      return target < pos ? pos + 2 : 0;
    }
    pos += 1 + b;
  }
  return 0;
}

u32 is_answer_from(const UdpDatagram& d, const u8* server, u16 port) {
  return d.src_port == kDnsPort && d.dst_port == port && ip_equal(d.src_ip, server) &&
         d.length >= wire::kUdpHeaderLen + kHeaderLen;
}

}  // namespace

u32 dns_build_query(const char* name, u8* out) {
  const u32 name_length = encode_name(name, out + kHeaderLen);
  if (!name_length) return 0;
  auto* h = reinterpret_cast<wire::DnsHeader*>(out);
  memset(h, 0, kHeaderLen);
  wire::put_be16(h->id, kDnsQueryId);
  wire::put_be16(h->flags, kFlagsRecursionDesired);
  wire::put_be16(h->qdcount, 1);
  u8* q = out + kHeaderLen + name_length;
  wire::put_be16(q, kTypeA);
  wire::put_be16(q + 2, kClassIn);
  return kHeaderLen + name_length + 4;
}

u32 dns_parse_response(const u8* m, u32 length, u8* ip_out) {
  if (length < kHeaderLen) return 0;
  const u32 answers = wire::be16(reinterpret_cast<const wire::DnsHeader*>(m)->ancount);
  u32 pos = skip_name(m, length, kHeaderLen);
  if (!pos || pos + 4 > length) return 0;
  pos += 4;  // QTYPE, QCLASS
  for (u32 i = 0; i < answers; ++i) {
    pos = skip_name(m, length, pos);
    if (!pos || pos + 10 > length) return 0;
    const u16 type = wire::be16(m + pos);
    const u32 rdlength = wire::be16(m + pos + 8);
    pos += 10;
    if (rdlength > length - pos) return 0;
    if (type == kTypeA && rdlength == 4) {
      memcpy(ip_out, m + pos, 4);
      return 1;
    }
    pos += rdlength;
  }
  return 0;
}

u32 dns_resolve_with_server(const char* name, u8* ip_out, const u8* server_ip) {
  u8 server[4];
  memcpy(server, server_ip, 4);
  u8 query[kQueryCap];
  const u32 query_length = dns_build_query(name, query);
  if (!query_length) return 0;
  const u16 port = static_cast<u16>(49152 + ticks_now() % 10000);
  u8 hop[4], mac[6];
  net_route_next_hop(server, hop);
  if (!arp_resolve(hop, mac)) return 0;
  eth_send_scratch(udp_build_frame(mac, net_my_ip, server, port, kDnsPort, query, query_length));
  const u32 deadline = ticks_now() + kWaitTicks;
  while (!tick_reached(deadline)) {
    net_have_ipv4_frame = 0;
    net_pump();
    UdpDatagram d;
    if (!net_have_ipv4_frame || !udp_parse(net_ipv4_frame, net_ipv4_frame_len, d)) continue;
    if (!is_answer_from(d, server, port)) continue;
    if (wire::be16(d.payload + 6) == 0) continue;  // no answers at all
    if (dns_parse_response(d.payload, d.payload_length, ip_out)) return 1;
  }
  return 0;
}

u32 dns_resolve(const char* name, u8* ip_out) {
  for (i32 i = 0; i < net_dns_count && i < 2; ++i) {
    if (ip_is_zero(net_dns_servers[i])) continue;
    if (dns_resolve_with_server(name, ip_out, net_dns_servers[i])) return 1;
  }
  if (dns_resolve_with_server(name, ip_out, kFallbackServers[0])) return 1;
  return dns_resolve_with_server(name, ip_out, kFallbackServers[1]);
}

}  // namespace tavlin
