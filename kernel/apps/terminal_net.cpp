// The Terminal's network commands: ifconfig shows the interface settings,
// itest pushes one broadcast frame through the card and polls once, and
// wget fetches a page by HTTP and prints its body.
#include "kernel/apps/apps.h"
#include "kernel/apps/terminal.h"
#include "kernel/core/kstring.h"
#include "kernel/net/http.h"
#include "kernel/net/intel/e1000.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/realtek/rtl8139.h"

namespace tavlin {
namespace {

constexpr u32 kMaxDnsServers = 2;

// The card test frame: a broadcast of our own local experimental EtherType.
constexpr u32 kTestFrameSize = 60;
constexpr u32 kEthernetHeaderSize = 14;
constexpr u8 kTestEtherType[2] = {0x88, 0xB5};
constexpr char kTestPayload[] = "TavlinOS itest packet";

constexpr u32 kAddressWordCap = 32;  // 31 characters
constexpr u32 kPortWordCap = 16;     // 15 characters
constexpr u32 kPathCap = 128;        // 127 characters
constexpr u16 kDefaultHttpPort = 80;
constexpr u32 kMaxPort = 65535;
constexpr u32 kBodyLineChars = 47;

u8 itest_rx_frame[kNicBufferSize];

void add_ipv4(TermLine& line, const u8* ip) {
  for (u32 i = 0; i < 4; ++i) {
    if (i) line.add_char('.');
    line.add_dec(ip[i]);
  }
}

void println_ipv4(Window& win, const char* label, const u8* ip) {
  TermLine line;
  line.add(label);
  add_ipv4(line, ip);
  term_println(&win, line.text);
}

void println_mac(Window& win, const u8* mac) {
  TermLine line;
  line.add("MAC: ");
  for (u32 i = 0; i < 6; ++i) {
    if (i) line.add_char(':');
    line.add_char(kHexDigits[mac[i] >> 4]);
    line.add_char(kHexDigits[mac[i] & 0xF]);
  }
  term_println(&win, line.text);
}

void build_test_frame(u8* frame, const u8* mac) {
  memset(frame, 0, kTestFrameSize);
  memset(frame, 0xFF, 6);
  memcpy(frame + 6, mac, 6);
  frame[12] = kTestEtherType[0];
  frame[13] = kTestEtherType[1];
  memcpy(frame + kEthernetHeaderSize, kTestPayload, sizeof kTestPayload - 1);
}

// Empty, zero, non-digits and values past the last port all mean 80.
u16 parse_port(const char* word) {
  u32 value = 0;
  for (const char* p = word; *p; ++p) {
    if (*p < '0' || *p > '9') return kDefaultHttpPort;
    value = value * 10 + static_cast<u32>(*p - '0');
    if (value > kMaxPort) return kDefaultHttpPort;
  }
  return value == 0 ? kDefaultHttpPort : static_cast<u16>(value);
}

// A line feed ends a line, carriage returns vanish, and a line that already
// holds 47 characters is ended before the next one.
void print_body_lines(Window& win, const u8* body, u32 length) {
  TermLine line;
  for (u32 i = 0; i < length; ++i) {
    const char c = static_cast<char>(body[i]);
    if (c == '\r') continue;
    if (c == '\n') {
      term_println(&win, line.text);
      line = TermLine();
      continue;
    }
    if (line.len == kBodyLineChars) {
      term_println(&win, line.text);
      line = TermLine();
    }
    line.add_char(c);
  }
  if (line.len) term_println(&win, line.text);
}

}  // namespace

TermEnd term_ifconfig(Window& win, const char*) {
  println_ipv4(win, "IP: ", net_my_ip);
  println_ipv4(win, "Mask: ", net_netmask);
  println_ipv4(win, "Gateway: ", net_gateway_ip);
  TermLine dns;
  dns.add("DNS: ");
  const u32 count = net_dns_count < 0 ? 0 : static_cast<u32>(net_dns_count);
  for (u32 i = 0; i < count && i < kMaxDnsServers; ++i) {
    if (i) dns.add(", ");
    add_ipv4(dns, net_dns_servers[i]);
  }
  term_println(&win, dns.text);
  println_mac(win, nic_mac);
  return TermEnd::kFinish;
}

TermEnd term_itest(Window& win, const char*) {
  if (e1000_ok) {
    term_println(&win, "Using e1000 driver");
  } else if (rtl8139_ok) {
    term_println(&win, "Using RTL8139 driver");
  } else {
    term_println(&win, "No NIC initialized");
    return TermEnd::kFinish;
  }
  u8 mac[6];
  nic_get_mac(mac);
  println_mac(win, mac);
  term_println(&win, nic_link_up() ? "Link: up" : "Link: down");

  u8 frame[kTestFrameSize];
  build_test_frame(frame, mac);
  term_println(&win, nic_send_packet(frame, kTestFrameSize) ? "TX: sent test frame" : "TX: send failed");

  const u32 received = nic_poll_recv(itest_rx_frame);
  if (received == 0) {
    term_println(&win, "RX: nothing pending");
    return TermEnd::kFinish;
  }
  TermLine line;
  line.add("RX: got ");
  line.add_dec(received);
  line.add(" bytes");
  term_println(&win, line.text);
  return TermEnd::kFinish;
}

// wget <ip> <port> <path>: the words are separated by runs of spaces; the
// path is the whole rest of the line.
TermEnd term_wget(Window& win, const char* arg) {
  if (!e1000_ok && !rtl8139_ok) {
    term_println(&win, "wget: No NIC initialized");
    return TermEnd::kFinish;
  }
  char address[kAddressWordCap], port_word[kPortWordCap], path[kPathCap];
  const char* p = term_skip_spaces(term_take_word(arg, address, sizeof address));
  p = term_skip_spaces(term_take_word(p, port_word, sizeof port_word));
  str_copy(path, *p ? p : "/", sizeof path);

  u8 ip[4];
  if (!address[0] || !parse_ipv4(address, ip)) {
    term_println(&win, "usage: wget <ip> <port> <path>");
    return TermEnd::kFinish;
  }
  term_println(&win, "Resolving + connecting...");
  if (!http_get(ip, parse_port(port_word), address, path)) {
    term_println(&win, "wget: request failed or timed out");
    return TermEnd::kFinish;
  }
  const u32 response_length = http_resp_len < kHttpRespCap ? http_resp_len : kHttpRespCap;
  u32 body_length = 0;
  const u8* body = http_strip_headers(response_length, &body_length);
  if (!body) {
    body = http_resp_buf;
    body_length = response_length;
  }
  TermLine got;
  got.add("Got ");
  got.add_dec(body_length);
  got.add(" bytes:");
  term_println(&win, got.text);
  print_body_lines(win, body, body_length);
  return TermEnd::kFinish;
}

}  // namespace tavlin
