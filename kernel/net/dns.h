// DNS resolver (RFC 1035): one A query per server, the DHCP-supplied servers
// first and then two public resolvers; no cache, no retransmission.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kDnsMaxEncodedName = 244;
constexpr u32 kDnsQueryId = 0x1234;

u32 dns_resolve(const char* name, u8* ip_out);
u32 dns_resolve_with_server(const char* name, u8* ip_out, const u8* server_ip);

// Writes the query message for `name` into out (room for 12 + 244 + 4
// bytes); its length, or 0 when the name cannot be encoded.
u32 dns_build_query(const char* name, u8* out);

// Looks for an A record in one response message; 1 and the address when
// one is there. Everything is bounded by `length`: a name, record header or
// data running past it ends the search with 0.
u32 dns_parse_response(const u8* message, u32 length, u8* ip_out);

}  // namespace tavlin
