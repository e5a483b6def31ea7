// DHCP client: one DISCOVER/OFFER/REQUEST/ACK exchange at start-up fills the
// interface configuration; no renewal, no release. Also the start-up
// gateway test.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kDhcpXidStart = 0x12345678;

extern u32 dhcp_xid;
extern u8 dhcp_mac[6];

void dhcp_configure();
void net_test_gateway();

// What the option walk of one server message found.
struct DhcpOptions {
  u32 message_type;  // option 53, 0 when absent
  u32 has_netmask, has_router, has_dns, has_server_id;
  u8 server_id[4];  // option 54: the server that made the offer
  u8 netmask[4];
  u8 router[4];
  u8 dns[2][4];
  u32 dns_count;
};

// Walks the options of a DHCP message (`length` bytes from op to the end of
// the options). 1 when the walk reached the end option inside the message
// and the option limit; the message is ignored otherwise.
u32 dhcp_parse_options(const u8* message, u32 length, DhcpOptions& out);

// 1 when the frame is a server-to-client DHCP message with the magic cookie
// and well-formed options; gives the message and its options.
u32 dhcp_parse_reply(const u8* frame, u32 length, const u8*& message, DhcpOptions& out);

// Builds the DISCOVER (or, with the offered address and the offering
// server, null when it named none, the REQUEST) of the current transaction
// in net_scratch_tx; the frame length. Both ask for a broadcast answer.
u32 dhcp_build_discover();
u32 dhcp_build_request(const u8* offered_ip, const u8* server_id);

}  // namespace tavlin
