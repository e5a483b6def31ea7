// IPv4 configuration, header rules and checks, the checksum, routing and
// the dotted-quad parser.
#include "kernel/net/ipv4.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/net/wire.h"

namespace tavlin {

u8 net_my_ip[4];
u8 net_netmask[4];
u8 net_gateway_ip[4];
u8 net_dns_servers[2][4];
i32 net_dns_count;
u16 g_ip_id = 1;

namespace {

constexpr u8 kTtl = 64;
constexpr u16 kMoreFragments = 0x2000;
constexpr u16 kFragmentOffsetMask = 0x1FFF;
constexpr u8 kDefaultMask[4] = {255, 255, 255, 0};

}  // namespace

void net_config_clear() {
  memset(net_my_ip, 0, 4);
  memset(net_netmask, 0, 4);
  memset(net_gateway_ip, 0, 4);
  memset(net_dns_servers, 0, sizeof net_dns_servers);
  net_dns_count = 0;
}

u32 ip_checksum_add(u32 sum, const u8* data, u32 length) {
  u32 i = 0;
  for (; i + 1 < length; i += 2) sum += wire::be16(data + i);
  if (i < length) sum += static_cast<u32>(data[i]) << 8;  // odd byte: high half
  return sum;
}

u16 ip_checksum_finish(u32 sum) {
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<u16>(~sum);
}

u16 ip_transport_checksum(const u8* src, const u8* dst, u8 protocol, const u8* segment, u32 length) {
  u8 pseudo[12];
  memcpy(pseudo, src, 4);
  memcpy(pseudo + 4, dst, 4);
  pseudo[8] = 0;
  pseudo[9] = protocol;
  wire::put_be16(pseudo + 10, static_cast<u16>(length));
  return ip_checksum_finish(ip_checksum_add(ip_checksum_add(0, pseudo, sizeof pseudo), segment, length));
}

void ipv4_write_header(u8* ip, u16 total_length, u16 identification, u16 flags_fragment,
                       u8 protocol, const u8* src, const u8* dst) {
  auto* h = reinterpret_cast<wire::Ipv4Header*>(ip);
  h->version_ihl = 0x45;
  h->tos = 0;
  wire::put_be16(h->total_length, total_length);
  wire::put_be16(h->identification, identification);
  wire::put_be16(h->flags_fragment, flags_fragment);
  h->ttl = kTtl;
  h->protocol = protocol;
  wire::put_be16(h->checksum, 0);
  memcpy(h->src, src, 4);
  memcpy(h->dst, dst, 4);
  wire::put_be16(h->checksum, ip_checksum_finish(ip_checksum_add(0, ip, wire::kIpHeaderLen)));
}

u32 ipv4_parse(const u8* frame, u32 length, Ipv4Packet& out) {
  if (length < wire::kEthHeaderLen + wire::kIpHeaderLen) return 0;
  if (wire::be16(frame + 12) != wire::kEtherTypeIpv4) return 0;
  const u8* ip = frame + wire::kIpOffset;
  const auto* h = reinterpret_cast<const wire::Ipv4Header*>(ip);
  if ((h->version_ihl >> 4) != 4) return 0;
  const u32 header_length = (h->version_ihl & 0xF) * 4u;
  const u32 total = wire::be16(h->total_length);
  if (header_length < wire::kIpHeaderLen || total < header_length) return 0;
  if (total > length - wire::kEthHeaderLen) return 0;
  // A fragment holds only part of a datagram, and nothing here reassembles:
  // its bytes read as a whole datagram would be wrong data.
  if (wire::be16(h->flags_fragment) & (kMoreFragments | kFragmentOffsetMask)) return 0;
  out = {ip, header_length, h->protocol, h->src, h->dst, ip + header_length,
         total - header_length};
  return 1;
}

u32 ip_is_zero(const u8* ip) { return (ip[0] | ip[1] | ip[2] | ip[3]) == 0; }

u32 ip_equal(const u8* a, const u8* b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

void net_route_next_hop(const u8* destination, u8* next_hop_out) {
  const u8* mask = ip_is_zero(net_netmask) ? kDefaultMask : net_netmask;
  u32 off_link = 0;
  for (u32 i = 0; i < 4; ++i) off_link |= (destination[i] ^ net_my_ip[i]) & mask[i];
  const u8* hop = off_link && !ip_is_zero(net_gateway_ip) ? net_gateway_ip : destination;
  memmove(next_hop_out, hop, 4);
}

u32 parse_ipv4(const char* text, u8* out) {
  u32 part = 0, value = 0, digits = 0;
  for (const char* p = text;; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      value = value * 10 + static_cast<u32>(c - '0');
      if (value > 255) return 0;
      ++digits;
      continue;
    }
    if (c != '.' && c != 0) return 0;
    if (digits == 0 || part >= 4) return 0;
    out[part++] = static_cast<u8>(value);
    if (c == 0) return part == 4;
    value = 0;
    digits = 0;
  }
}

void serial_ip(const u8* ip) {
  for (u32 i = 0; i < 4; ++i) {
    if (i) serial_puts(".");
    serial_dec32(ip[i]);
  }
}

}  // namespace tavlin
