// The network calls on a scripted card: http_get resolves the URL's host,
// fetches it and leaves the body in the program's buffer, cut to fit;
// dns_get writes the address a name resolves to.
#include "unit/net/tcp_peer.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

namespace nt = nettest;

class VmNet : public nt::NetTest, public VmRig {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    configure();
    std::copy(nt::kServerIp.begin(), nt::kServerIp.end(), net_dns_servers[0]);
    net_dns_count = 1;
    peer.attach(*this, card);
    // The server answers every A query with 192.168.50.1.
    card.peer = [inner = card.peer, this](const nt::Bytes& f) {
      if (nt::be16_at(f, 12) != 0x0800 || f[23] != 17 || nt::be16_at(f, 36) != 53) return inner(f);
      card.incoming.push_back(nt::dns_reply(f, nt::kServerIp, nt::kServerIp));
    };
  }
  nt::TcpPeer peer;
};

TEST_F(VmNet, HttpGetFetchesTheBodyAndDnsGetResolvesAName) {
  peer.script = {{0, nt::text("HTTP/1.0 200 OK\r\n\r\nhello world"), kTcpAck | kTcpPsh | kTcpFin}};
  run(call("http_get", {"@url", "0x100000", "6"}) + call("dns_get", {"0x100010", "@name"}) +
      "HALT\nurl: .string \"http://files.test/hello.txt\"\nname: .string \"files.test\"");
  EXPECT_EQ(stack(), (Ints{5, 1}));
  EXPECT_EQ(memory(kScratch, 6), (Bytes{'h', 'e', 'l', 'l', 'o', 0}));
  EXPECT_EQ(memory(kScratch + 16, 4), (Bytes{192, 168, 50, 1}));
  EXPECT_EQ(std::string(peer.request.begin(), peer.request.end()).substr(0, 41),
            "GET /hello.txt HTTP/1.0\r\nHost: files.test");
}

}  // namespace
}  // namespace tavlin::script_test
