// A hostile peer's segments through the TCP receive path: the input is a
// run of frames (2-byte big-endian length, then the frame) that a card
// hands to the pump. The first TCP frame names the connection, as the
// SYN+ACK of a real one would; the rest go through tcp_receive_stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/tcp.h"

namespace {
const uint8_t* input;
size_t left;
tavlin::u32 poll(tavlin::u8* out) {
  if (left < 2) return tavlin::pit_ticks = tavlin::pit_ticks + 1, 0;  // time passes when idle
  size_t n = static_cast<size_t>(input[0] << 8 | input[1]);
  n = n > left - 2 ? left - 2 : n;
  n = n > tavlin::kNicBufferSize ? tavlin::kNicBufferSize : n;
  tavlin::memcpy(out, input + 2, n);
  const size_t used = 2 + (input[0] << 8 | input[1]);
  input += used < left ? used : left;
  left -= used < left ? used : left;
  return static_cast<tavlin::u32>(n);
}
tavlin::u32 send(const tavlin::u8*, tavlin::u32) { return 1; }
tavlin::u32 link() { return 1; }
const tavlin::NicDriver kCard = {send, poll, link};
std::vector<uint8_t> buffer(600000);
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fake_hw::reset();
  fake_hw::set_default(0x3FD, 0x20);  // serial transmitter always ready
  const uint8_t mac[6] = {2, 0, 0, 0, 0, 1};
  tavlin::nic_attach(kCard, mac);
  input = data;
  left = size;
  tavlin::u8 first[tavlin::kNicBufferSize];
  const tavlin::u32 n = poll(first);
  if (n < 54) return 0;
  tavlin::TcpConnection c{};
  tavlin::memcpy(c.peer_ip, first + 26, 4);
  tavlin::memcpy(tavlin::net_my_ip, first + 30, 4);
  c.remote_port = static_cast<tavlin::u16>(first[34] << 8 | first[35]);
  c.local_port = static_cast<tavlin::u16>(first[36] << 8 | first[37]);
  c.rcv_nxt = (static_cast<tavlin::u32>(first[38]) << 24 | first[39] << 16 | first[40] << 8 | first[41]) + 1;
  tavlin::u32 length = 0;
  tavlin::TcpReceiveBuffer in{buffer.data(), static_cast<tavlin::u32>(buffer.size()) - 88000, length};
  tavlin::tcp_receive_stream(c, in, 500, tavlin::pit_ticks + 3000);
  return 0;
}
