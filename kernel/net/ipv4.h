// IPv4: the interface configuration, header building and checking, the
// Internet checksum, next-hop routing and dotted-quad parsing.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Written only by DHCP; all zero means unconfigured.
extern u8 net_my_ip[4];
extern u8 net_netmask[4];
extern u8 net_gateway_ip[4];
extern u8 net_dns_servers[2][4];
extern i32 net_dns_count;
extern u16 g_ip_id;

// Zeroes the configuration (start of a run, DHCP failure, tests).
void net_config_clear();

// RFC 1071 sum over big-endian words, not yet complemented: a partial sum
// to continue with ip_checksum_add, then ip_checksum_finish.
u32 ip_checksum_add(u32 sum, const u8* data, u32 length);
u16 ip_checksum_finish(u32 sum);
// The checksum of a TCP or UDP segment of `length` bytes at `segment`,
// pseudo-header (addresses, protocol, length) included.
u16 ip_transport_checksum(const u8* src, const u8* dst, u8 protocol, const u8* segment, u32 length);

// Writes a 20-byte header (no options) with its checksum at `ip`.
void ipv4_write_header(u8* ip, u16 total_length, u16 identification, u16 flags_fragment,
                       u8 protocol, const u8* src, const u8* dst);

// A received IPv4 packet, checked against every length that bounds it.
struct Ipv4Packet {
  const u8* header;
  u32 header_length;
  u8 protocol;
  const u8* src;
  const u8* dst;
  const u8* payload;
  u32 payload_length;  // by the IP total length, never past the frame
};
// 1 when `frame` (length bytes, Ethernet header included) carries a sane
// IPv4 packet: version 4, header length 20 or more, total length covering
// the header and within the frame, and a whole datagram (no fragment).
u32 ipv4_parse(const u8* frame, u32 length, Ipv4Packet& out);

u32 ip_is_zero(const u8* ip);
u32 ip_equal(const u8* a, const u8* b);

void net_route_next_hop(const u8* destination, u8* next_hop_out);
u32 parse_ipv4(const char* text, u8* out);

// "a.b.c.d" to the serial log.
void serial_ip(const u8* ip);

}  // namespace tavlin
