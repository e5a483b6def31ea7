// Any frame from the wire through the receive path: the pump's dispatch,
// ARP learning, the IPv4 and UDP checks and the DHCP option walk.
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/net/dhcp.h"
#include "kernel/net/ethernet.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  fake_hw::reset();
  std::vector<tavlin::u8> frame(data, data + size);  // exact size: ASan sees over-reads
  const auto length = static_cast<tavlin::u32>(size);
  tavlin::net_receive_frame(frame.data(), length);
  const tavlin::u8* message;
  tavlin::DhcpOptions options;
  tavlin::dhcp_parse_reply(frame.data(), length, message, options);
  return 0;
}
