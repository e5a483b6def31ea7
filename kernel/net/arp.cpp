// The ARP cache and resolver, and the answer to requests for our own
// address. Only replies teach the cache.
#include "kernel/net/arp.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/ethernet.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/realtek/rtl8139.h"
#include "kernel/net/wire.h"

namespace tavlin {

ArpEntry arp_cache[kArpCacheSize];

namespace {

constexpr u16 kHardwareEthernet = 1;
constexpr u16 kOpRequest = 1;
constexpr u16 kOpReply = 2;
constexpr u32 kArpFrameLen = wire::kEthHeaderLen + sizeof(wire::ArpPacket);
constexpr u32 kAttempts = 5;
constexpr u32 kAttemptTicks = 60;

void log_request(const u8* target_ip) {
  serial_puts("[ARP] Sending request for ");
  serial_ip(target_ip);
  serial_puts(" from MAC ");
  serial_mac(nic_mac);
  serial_puts("\n");
}

void log_timeout() {
  const Rtl8139Pointers p = rtl8139_pointers();
  serial_puts("[ARP] attempt timed out, RX ptr read=");
  serial_hex32(p.read);
  serial_puts(" write=");
  serial_hex32(p.write);
  serial_puts(" CMD=");
  serial_hex32(p.command);
  serial_puts("\n");
}

// 1 once the cache knows `ip`; waits one attempt's worth of ticks.
u32 wait_for_reply(const u8* ip, u8* mac_out) {
  const u32 deadline = ticks_now() + kAttemptTicks;
  while (!tick_reached(deadline)) {
    net_have_ipv4_frame = 0;
    net_pump();
    if (arp_cache_lookup(ip, mac_out)) return 1;
  }
  return 0;
}

}  // namespace

void arp_cache_clear() {
  for (ArpEntry& e : arp_cache) e.valid = 0;
}

u32 arp_cache_lookup(const u8* ip, u8* mac_out) {
  for (const ArpEntry& e : arp_cache) {
    if (!e.valid || !ip_equal(e.ip, ip)) continue;
    memcpy(mac_out, e.mac, 6);
    return 1;
  }
  return 0;
}

void arp_cache_learn(const u8* ip, const u8* mac) {
  ArpEntry* slot = nullptr;
  for (ArpEntry& e : arp_cache)
    if (e.valid && ip_equal(e.ip, ip)) slot = &e;
  for (u32 i = 0; !slot && i < kArpCacheSize; ++i)
    if (!arp_cache[i].valid) slot = &arp_cache[i];
  if (!slot) slot = &arp_cache[0];
  slot->valid = 1;
  memcpy(slot->ip, ip, 4);
  memcpy(slot->mac, mac, 6);
}

u32 arp_build_request(const u8* target_ip) {
  eth_write_header(net_broadcast_mac, wire::kEtherTypeArp);
  auto* arp = reinterpret_cast<wire::ArpPacket*>(net_scratch_tx + wire::kEthHeaderLen);
  wire::put_be16(arp->hardware_type, kHardwareEthernet);
  wire::put_be16(arp->protocol_type, wire::kEtherTypeIpv4);
  arp->hardware_size = 6;
  arp->protocol_size = 4;
  wire::put_be16(arp->operation, kOpRequest);
  memcpy(arp->sender_mac, nic_mac, 6);
  memcpy(arp->sender_ip, net_my_ip, 4);
  memset(arp->target_mac, 0, 6);
  memcpy(arp->target_ip, target_ip, 4);
  return kArpFrameLen;
}

namespace {

// Sends the reply to one Ethernet/IPv4 request when it asks for our address.
void arp_answer(const wire::ArpPacket& request) {
  // A peer whose cache entry for us has aged asks again; without an answer
  // it could no longer reach us in the middle of a transfer.
  if (ip_is_zero(net_my_ip) || !ip_equal(request.target_ip, net_my_ip)) return;
  // Built in its own buffer: the pump may run while a caller's frame is
  // being assembled in net_scratch_tx.
  u8 frame[wire::kMinFrameLen] = {};
  auto* eth = reinterpret_cast<wire::EthernetHeader*>(frame);
  memcpy(eth->dst, request.sender_mac, 6);
  memcpy(eth->src, nic_mac, 6);
  wire::put_be16(eth->ether_type, wire::kEtherTypeArp);
  auto* reply = reinterpret_cast<wire::ArpPacket*>(frame + wire::kEthHeaderLen);
  *reply = request;
  wire::put_be16(reply->operation, kOpReply);
  memcpy(reply->sender_mac, nic_mac, 6);
  memcpy(reply->sender_ip, net_my_ip, 4);
  memcpy(reply->target_mac, request.sender_mac, 6);
  memcpy(reply->target_ip, request.sender_ip, 4);
  nic_send_packet(frame, sizeof frame);
}

}  // namespace

void arp_receive(const u8* frame, u32 length) {
  if (length < kArpFrameLen) return;
  const auto* arp = reinterpret_cast<const wire::ArpPacket*>(frame + wire::kEthHeaderLen);
  const u16 operation = wire::be16(arp->operation);
  serial_puts("[NET] ARP oper=");
  serial_dec32(operation);
  serial_puts("\n");
  // Only Ethernet/IPv4 packets have their addresses where we read them.
  if (wire::be16(arp->hardware_type) != kHardwareEthernet ||
      wire::be16(arp->protocol_type) != wire::kEtherTypeIpv4 || arp->hardware_size != 6 ||
      arp->protocol_size != 4)
    return;
  if (operation == kOpReply) arp_cache_learn(arp->sender_ip, arp->sender_mac);
  if (operation == kOpRequest) arp_answer(*arp);
}

u32 arp_resolve(const u8* ip, u8* mac_out) {
  if (ip_is_zero(net_my_ip)) return 0;
  if (arp_cache_lookup(ip, mac_out)) return 1;
  u8 target[4];
  memcpy(target, ip, 4);  // the caller's address may live in a buffer we reuse
  for (u32 attempt = 0; attempt < kAttempts; ++attempt) {
    const u32 length = arp_build_request(target);
    log_request(target);
    eth_send_scratch(length);
    serial_puts("[ARP-DBG] send_request returned\n");
    serial_puts("[ARP-DBG] entering wait loop\n");
    if (wait_for_reply(target, mac_out)) return 1;
    log_timeout();
  }
  return 0;
}

}  // namespace tavlin
