// ARP: the 8-entry cache filled from replies, resolution of a next hop by
// broadcast request, and answers to requests for our address.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kArpCacheSize = 8;

struct ArpEntry {
  u32 valid;
  u8 ip[4];
  u8 mac[6];
};
extern ArpEntry arp_cache[kArpCacheSize];

void arp_cache_clear();
u32 arp_cache_lookup(const u8* ip, u8* mac_out);
// Learns (or updates) one address; when the cache is full, entry 0 goes.
void arp_cache_learn(const u8* ip, const u8* mac);
u32 arp_resolve(const u8* ip, u8* mac_out);

// Builds the broadcast request for `target_ip` in net_scratch_tx; the
// frame length (42 bytes of content).
u32 arp_build_request(const u8* target_ip);

// A received ARP frame (the pump's part): replies are learned, requests for
// our configured address are answered.
void arp_receive(const u8* frame, u32 length);

}  // namespace tavlin
