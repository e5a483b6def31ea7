// DHCP client (RFC 2131 with the options of RFC 2132) and the gateway test.
#include "kernel/net/dhcp.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/arp.h"
#include "kernel/net/ethernet.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/udp.h"
#include "kernel/net/wire.h"

namespace tavlin {

u32 dhcp_xid = kDhcpXidStart;
u8 dhcp_mac[6];

namespace {

constexpr u16 kServerPort = 67;
constexpr u16 kClientPort = 68;
constexpr u8 kCookie[4] = {99, 130, 83, 99};
constexpr u32 kOptionsOffset = 240;
constexpr u32 kOptionWalkLimit = 311;  // bytes past the cookie the walk may go
constexpr u32 kMessageArea = 548;      // zeroed before each message is built
constexpr u32 kAttempts = 3;
constexpr u32 kWaitTicks = 200;

constexpr u8 kOptPad = 0;
constexpr u8 kOptNetmask = 1;
constexpr u8 kOptRouter = 3;
constexpr u8 kOptDns = 6;
constexpr u8 kOptRequestedIp = 50;
constexpr u8 kOptMessageType = 53;
constexpr u8 kOptServerId = 54;
constexpr u8 kOptParameterList = 55;
constexpr u8 kOptEnd = 255;

constexpr u8 kDiscover = 1;
constexpr u8 kOffer = 2;
constexpr u8 kRequest = 3;
constexpr u8 kAck = 5;

// A client without an address cannot take a unicast answer (nothing would
// answer the server's ARP for it), so every message asks for broadcast.
constexpr u16 kFlagBroadcast = 0x8000;

constexpr u8 kZeroIp[4] = {0, 0, 0, 0};
constexpr u8 kBroadcastIp[4] = {255, 255, 255, 255};

void note_option(u8 code, const u8* value, u32 length, DhcpOptions& out) {
  if (code == kOptMessageType && length == 1) out.message_type = value[0];
  if (code == kOptNetmask && length == 4) {
    memcpy(out.netmask, value, 4);
    out.has_netmask = 1;
  }
  // A router list of more than one address is not used at all.
  if (code == kOptRouter && length == 4) {
    memcpy(out.router, value, 4);
    out.has_router = 1;
  }
  if (code == kOptServerId && length == 4) {
    memcpy(out.server_id, value, 4);
    out.has_server_id = 1;
  }
  if (code == kOptDns && length >= 4) {
    out.dns_count = length / 4 < 2 ? length / 4 : 2;
    for (u32 i = 0; i < out.dns_count; ++i) memcpy(out.dns[i], value + 4 * i, 4);
    out.has_dns = 1;
  }
}

void put_address_option(u8*& o, u8 code, const u8* ip) {
  *o++ = code;
  *o++ = 4;
  memcpy(o, ip, 4);
  o += 4;
}

u32 build_message(u8 type, const u8* requested_ip, const u8* server_id) {
  u8 msg[kMessageArea];
  memset(msg, 0, sizeof msg);
  auto* m = reinterpret_cast<wire::DhcpMessage*>(msg);
  m->op = 1;
  m->htype = 1;
  m->hlen = 6;
  wire::put_be32(m->xid, dhcp_xid);
  wire::put_be16(m->flags, kFlagBroadcast);
  memcpy(m->chaddr, nic_mac, 6);
  memcpy(m->cookie, kCookie, 4);
  u8* o = msg + kOptionsOffset;
  *o++ = kOptMessageType;
  *o++ = 1;
  *o++ = type;
  if (requested_ip) put_address_option(o, kOptRequestedIp, requested_ip);
  if (server_id) put_address_option(o, kOptServerId, server_id);
  const u8 wanted[] = {kOptParameterList, 3, kOptNetmask, kOptRouter, kOptDns, kOptEnd};
  memcpy(o, wanted, sizeof wanted);
  o += sizeof wanted;
  memset(net_scratch_tx + wire::kUdpPayloadOffset, 0, kMessageArea);
  return udp_build_frame(net_broadcast_mac, kZeroIp, kBroadcastIp, kClientPort, kServerPort, msg,
                         static_cast<u32>(o - msg));
}

// 1 when a server message answers our current transaction: our xid and
// our hardware address (another client's exchange is not ours to take).
bool reply_is_ours(const u8* message) {
  const auto* m = reinterpret_cast<const wire::DhcpMessage*>(message);
  return wire::be32(m->xid) == dhcp_xid && wire::bytes_equal(m->chaddr, dhcp_mac, 6);
}

// Pumps for one wait and returns 1 with the message of the first reply of
// the wanted type.
u32 wait_for(u8 type, const u8*& message, DhcpOptions& options) {
  const u32 deadline = ticks_now() + kWaitTicks;
  while (!tick_reached(deadline)) {
    net_have_ipv4_frame = 0;
    net_pump();
    if (!net_have_ipv4_frame) continue;
    if (dhcp_parse_reply(net_ipv4_frame, net_ipv4_frame_len, message, options) &&
        reply_is_ours(message) && options.message_type == type)
      return 1;
  }
  return 0;
}

void take_offer(const DhcpOptions& offer) {
  if (offer.has_netmask) memcpy(net_netmask, offer.netmask, 4);
  if (offer.has_router) memcpy(net_gateway_ip, offer.router, 4);
  if (offer.has_dns) {
    memcpy(net_dns_servers, offer.dns, sizeof net_dns_servers);
    net_dns_count = static_cast<i32>(offer.dns_count);
  }
}

u32 run_attempt() {
  const u8* message = nullptr;
  DhcpOptions options;
  eth_send_scratch(dhcp_build_discover());
  if (!wait_for(kOffer, message, options)) return 0;
  take_offer(options);
  u8 offered[4], server[4];
  memcpy(offered, reinterpret_cast<const wire::DhcpMessage*>(message)->yiaddr, 4);
  memcpy(server, options.server_id, 4);
  eth_send_scratch(dhcp_build_request(offered, options.has_server_id ? server : nullptr));
  if (!wait_for(kAck, message, options)) return 0;
  memcpy(net_my_ip, reinterpret_cast<const wire::DhcpMessage*>(message)->yiaddr, 4);
  return 1;
}

void fail() {
  serial_puts("[NET] DHCP failed; interface left unconfigured\n");
  memset(net_my_ip, 0, 4);
  memset(net_gateway_ip, 0, 4);
  memset(net_netmask, 0, 4);
  net_dns_count = 0;
}

}  // namespace

u32 dhcp_parse_options(const u8* message, u32 length, DhcpOptions& out) {
  memset(&out, 0, sizeof out);
  u32 pos = kOptionsOffset;
  while (pos < length && pos - kOptionsOffset <= kOptionWalkLimit) {
    const u8 code = message[pos];
    if (code == kOptEnd) return 1;
    if (code == kOptPad) {  // the one option without a length byte
      ++pos;
      continue;
    }
    if (pos + 1 >= length) return 0;
    const u32 option_length = message[pos + 1];
    if (pos + 2 + option_length > length) return 0;
    note_option(code, message + pos + 2, option_length, out);
    pos += 2 + option_length;
  }
  return 0;
}

u32 dhcp_parse_reply(const u8* frame, u32 length, const u8*& message, DhcpOptions& out) {
  UdpDatagram udp;
  if (!udp_parse(frame, length, udp)) return 0;
  if (udp.src_port != kServerPort || udp.dst_port != kClientPort) return 0;
  if (udp.payload_length < kOptionsOffset) return 0;
  if (!wire::bytes_equal(udp.payload + 236, kCookie, 4)) return 0;
  message = udp.payload;
  return dhcp_parse_options(udp.payload, udp.payload_length, out);
}

u32 dhcp_build_discover() {
  dhcp_xid = dhcp_xid + 1;
  return build_message(kDiscover, nullptr, nullptr);
}

u32 dhcp_build_request(const u8* offered_ip, const u8* server_id) {
  return build_message(kRequest, offered_ip, server_id);
}

void dhcp_configure() {
  arp_cache_clear();
  serial_puts("[DHCP] Starting...\n");
  if (!nic_link_up()) {
    serial_puts("[DHCP] No link\n");
    fail();
    return;
  }
  nic_get_mac(dhcp_mac);
  for (u32 attempt = 0; attempt < kAttempts; ++attempt) {
    if (!run_attempt()) continue;
    serial_puts("[DHCP] Got IP ");
    serial_ip(net_my_ip);
    serial_puts("\n[NET] DHCP successful\n");
    return;
  }
  serial_puts("[DHCP] Failed\n");
  fail();
}

void net_test_gateway() {
  if (ip_is_zero(net_my_ip) || ip_is_zero(net_gateway_ip)) return;
  serial_puts("[NET] Testing gateway ARP...\n");
  u8 mac[6];
  if (arp_resolve(net_gateway_ip, mac))
    serial_puts("[NET] Gateway ARP succeeded\n");
  else
    serial_puts("[NET] Gateway ARP failed\n");
}

}  // namespace tavlin
