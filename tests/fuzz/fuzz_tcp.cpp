// A hostile peer's segments through the TCP receive path: the input is a run of frames (2-byte big-endian length, then
// the frame) that a card hands to the pump. The first TCP frame names the connection, as the SYN+ACK of a real one
// would; the rest go through tcp_receive_stream.
#include <algorithm>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/byte_order.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/tcp.h"

namespace {
using namespace tavlin;
const u8* input;
usize left;
u32 poll(u8* out) {
  if (left < 2) return pit_ticks = pit_ticks + 1, 0;  // time passes when idle
  const usize claimed = be16(input);
  const usize n = std::min({claimed, left - 2, usize{kNicBufferSize}});
  memcpy(out, input + 2, n);
  const usize used = std::min(2 + claimed, left);
  input += used;
  left -= used;
  return static_cast<u32>(n);
}
u32 send(const u8*, u32) { return 1; }
u32 link() { return 1; }
const NicDriver kCard = {send, poll, link};  // kept by the NIC layer
std::vector<u8> buffer(600000);
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, usize size) {
  fake_hw::reset();
  const u8 mac[6] = {2, 0, 0, 0, 0, 1};
  nic_attach(kCard, mac);
  input = data;
  left = size;
  u8 first[kNicBufferSize];
  if (poll(first) < 54) return 0;
  TcpConnection c{};
  memcpy(c.peer_ip, first + 26, 4);
  memcpy(net_my_ip, first + 30, 4);
  c.remote_port = be16(first + 34);
  c.local_port = be16(first + 36);
  c.rcv_nxt = be32(first + 38) + 1;
  u32 length = 0;
  TcpReceiveBuffer in{buffer.data(), static_cast<u32>(buffer.size()) - 88000, length};
  tcp_receive_stream(c, in, 500, pit_ticks + 3000);
  return 0;
}
