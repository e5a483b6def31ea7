// Wire layouts of the frames the stack builds and parses, as packed byte
// records (no alignment or byte-order surprises), with the big-endian helpers.
#pragma once
#include "kernel/core/byte_order.h"
#include "kernel/core/types.h"

namespace tavlin::wire {

using ::tavlin::be16;
using ::tavlin::be32;
using ::tavlin::put_be16;
using ::tavlin::put_be32;

inline u32 bytes_equal(const u8* a, const u8* b, u32 n) {
  for (u32 i = 0; i < n; ++i)
    if (a[i] != b[i]) return 0;
  return 1;
}

constexpr u16 kEtherTypeIpv4 = 0x0800;
constexpr u16 kEtherTypeArp = 0x0806;
constexpr u8 kProtoTcp = 6;
constexpr u8 kProtoUdp = 17;

// Offsets from the start of an Ethernet frame when the IPv4 header carries
// no options, which is how every frame we send looks.
constexpr u32 kEthHeaderLen = 14;
constexpr u32 kIpOffset = 14;
constexpr u32 kIpHeaderLen = 20;
constexpr u32 kL4Offset = 34;
constexpr u32 kUdpHeaderLen = 8;
constexpr u32 kUdpPayloadOffset = 42;
constexpr u32 kTcpHeaderLen = 20;
constexpr u32 kMinFrameLen = 60;  // without the CRC the card appends

struct __attribute__((packed)) EthernetHeader {
  u8 dst[6];
  u8 src[6];
  u8 ether_type[2];
};
static_assert(sizeof(EthernetHeader) == 14);

struct __attribute__((packed)) ArpPacket {
  u8 hardware_type[2];
  u8 protocol_type[2];
  u8 hardware_size;
  u8 protocol_size;
  u8 operation[2];
  u8 sender_mac[6];
  u8 sender_ip[4];
  u8 target_mac[6];
  u8 target_ip[4];
};
static_assert(sizeof(ArpPacket) == 28);

struct __attribute__((packed)) Ipv4Header {
  u8 version_ihl;
  u8 tos;
  u8 total_length[2];
  u8 identification[2];
  u8 flags_fragment[2];
  u8 ttl;
  u8 protocol;
  u8 checksum[2];
  u8 src[4];
  u8 dst[4];
};
static_assert(sizeof(Ipv4Header) == 20);

struct __attribute__((packed)) UdpHeader {
  u8 src_port[2];
  u8 dst_port[2];
  u8 length[2];
  u8 checksum[2];
};
static_assert(sizeof(UdpHeader) == 8);

struct __attribute__((packed)) TcpHeader {
  u8 src_port[2];
  u8 dst_port[2];
  u8 seq[4];
  u8 ack[4];
  u8 data_offset;  // high nibble: header length in 32-bit words
  u8 flags;
  u8 window[2];
  u8 checksum[2];
  u8 urgent[2];
};
static_assert(sizeof(TcpHeader) == 20);

struct __attribute__((packed)) DhcpMessage {
  u8 op, htype, hlen, hops;
  u8 xid[4];
  u8 secs[2];
  u8 flags[2];
  u8 ciaddr[4], yiaddr[4], siaddr[4], giaddr[4];
  u8 chaddr[16];
  u8 sname[64];
  u8 file[128];
  u8 cookie[4];
};
static_assert(sizeof(DhcpMessage) == 240);

struct __attribute__((packed)) DnsHeader {
  u8 id[2];
  u8 flags[2];
  u8 qdcount[2];
  u8 ancount[2];
  u8 nscount[2];
  u8 arcount[2];
};
static_assert(sizeof(DnsHeader) == 12);

// Frame offsets of the layouts above, for readers of raw buffers.
static_assert(kIpOffset == sizeof(EthernetHeader));
static_assert(kL4Offset == kIpOffset + sizeof(Ipv4Header));
static_assert(kUdpPayloadOffset == kL4Offset + sizeof(UdpHeader));

}  // namespace tavlin::wire
