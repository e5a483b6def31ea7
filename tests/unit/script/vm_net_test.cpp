// The network calls on a scripted card: http_get resolves the URL's host,
// fetches it and leaves the body in the program's buffer, cut to fit;
// dns_get writes the address a name resolves to.
#include "kernel/net/ipv4.h"
#include "unit/net/tcp_peer.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

using nettest::Bytes;

class VmNet : public nettest::NetTest, public VmRig {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    configure();
    std::copy(nettest::kServerIp.begin(), nettest::kServerIp.end(), net_dns_servers[0]);
    net_dns_count = 1;
    peer.attach(*this, card);
    // The server answers every A query with its own address.
    card.peer = [inner = card.peer, this](const Bytes& f) {
      if (nettest::be16_at(f, 12) != 0x0800 || f[23] != 17 || nettest::be16_at(f, 36) != 53) return inner(f);
      const Bytes question = nettest::slice(f, 42 + 12, nettest::be16_at(f, 38) - 8 - 12);
      const Bytes answer = {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, 192, 168, 50, 1};
      card.incoming.push_back(nettest::udp_frame(nettest::kServerIp, nettest::kOurIp, 53, nettest::be16_at(f, 34),
                                                 nettest::join({{0x12, 0x34, 0x81, 0x80, 0, 1, 0, 1, 0, 0, 0, 0},
                                                                question, answer})));
    };
  }
  nettest::TcpPeer peer;
};

TEST_F(VmNet, HttpGetFetchesTheBodyAndDnsGetResolvesAName) {
  peer.script = {{0, nettest::text("HTTP/1.0 200 OK\r\n\r\nhello world"), kTcpAck | kTcpPsh | kTcpFin}};
  run(call("http_get", {"@url", "0x100000", "6"}) + call("dns_get", {"0x100010", "@name"}) +
      "HALT\nurl: .string \"http://files.test/hello.txt\"\nname: .string \"files.test\"");
  EXPECT_EQ(stack(), (Ints{5, 1}));
  EXPECT_EQ(memory(kScratch, 6), (std::vector<u8>{'h', 'e', 'l', 'l', 'o', 0}));
  EXPECT_EQ(memory(kScratch + 16, 4), (std::vector<u8>{192, 168, 50, 1}));
  EXPECT_EQ(std::string(peer.request.begin(), peer.request.end()).substr(0, 41),
            "GET /hello.txt HTTP/1.0\r\nHost: files.test");
}

}  // namespace
}  // namespace tavlin::script_test
