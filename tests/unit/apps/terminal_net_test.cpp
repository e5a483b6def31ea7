// The Terminal's network commands on a scripted card: ifconfig's lines,
// itest's frame byte by byte, and wget's arguments and body printing
// against a scripted HTTP server.

#include "kernel/net/http.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/net/tcp_peer.h"

namespace tavlin::term_test {
namespace {

using nettest::Bytes;

class TermNet : public nettest::NetTest, public TerminalRig {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    e1000_ok = 1;
    open_terminal();
    configure();
    serve("HTTP/1.0 200 OK\r\n\r\nok");
  }
  void TearDown() override {
    close_terminal();
    e1000_ok = rtl8139_ok = 0;
    NetTest::TearDown();
  }
  // A new server on the port and an empty card, for each fetch.
  void serve(const std::string& response, uint16_t port = 80) {
    card.sent.clear();
    card.incoming.clear();
    card.peer = nullptr;
    peer = nettest::TcpPeer{};
    peer.port = port;
    peer.attach(*this, card);
    peer.script = {{0, Bytes(response.begin(), response.end()), kTcpAck | kTcpPsh | kTcpFin}};
  }
  std::string request() const { return std::string(peer.request.begin(), peer.request.end()); }
  // Destination port of the first TCP frame we sent: the SYN.
  uint16_t syn_port() const {
    for (const Bytes& f : card.sent)
      if (nettest::be16_at(f, 12) == 0x0800 && f.size() > 47 && f[23] == 6) return nettest::be16_at(f, 36);
    return 0;
  }
  nettest::TcpPeer peer;
};

TEST_F(TermNet, IfconfigShowsOnlyTheServersTheTableHoldsAndItestSendsOneBroadcastFrame) {
  const u8 ip[4] = {192, 168, 50, 10}, mask[4] = {255, 255, 255, 0}, dns[2][4] = {{192, 168, 50, 1}, {10, 0, 0, 53}};
  memcpy(net_my_ip, ip, 4);
  memcpy(net_netmask, mask, 4);
  memcpy(net_dns_servers, dns, sizeof dns);
  net_dns_count = 2;
  EXPECT_EQ(output("ifconfig"), (Lines{"IP: 192.168.50.10", "Mask: 255.255.255.0", "Gateway: 192.168.50.1",
                                       "DNS: 192.168.50.1, 10.0.0.53", "MAC: 52:54:00:12:34:56"}));
  for (auto [count, line] : {std::pair<i32, const char*>{7, "DNS: 192.168.50.1, 10.0.0.53"}, {-1, "DNS: "}}) {
    net_dns_count = count;
    EXPECT_EQ(output("ifconfig")[3], line) << count;
  }
  card.incoming.push_back(Bytes(64, 0xAB));
  EXPECT_EQ(output("itest"), (Lines{"Using e1000 driver", "MAC: 52:54:00:12:34:56", "Link: up",
                                    "TX: sent test frame", "RX: got 64 bytes"}));
  Bytes expected(6, 0xFF);  // broadcast, from us, of type 0x88B5, padded to the shortest frame
  expected.insert(expected.end(), nettest::kOurMac.begin(), nettest::kOurMac.end());
  for (char c : std::string("\x88\xB5TavlinOS itest packet")) expected.push_back(static_cast<u8>(c));
  expected.resize(60);
  EXPECT_EQ(card.sent, std::vector<Bytes>{expected});
  EXPECT_EQ(card.polls, 1u);
  card.link = 0;
  EXPECT_EQ(output("itest")[2], "Link: down");
  e1000_ok = 0;
  EXPECT_EQ(output("itest"), (Lines{"No NIC initialized"}));
}

TEST_F(TermNet, WgetPrintsTheBodyInLinesOfFortySevenCharactersOrSaysWhatFailed) {
  for (const char* line : {"wget", "wget  192.168.50.1 80 /", "wget example.com 80 /"})
    EXPECT_EQ(output(line), (Lines{"usage: wget <ip> <port> <path>"})) << line;
  EXPECT_TRUE(card.sent.empty());
  peer.answer_syn = false;
  EXPECT_EQ(output("wget 192.168.50.1 80 /"),
            (Lines{"Resolving + connecting...", "wget: request failed or timed out"}));
  const std::string b(100, 'b');
  serve("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello\r\n" + b, 8080);
  EXPECT_EQ(output("wget 192.168.50.1   8080   /hello there"),
            (Lines{"Resolving + connecting...", "Got 107 bytes:", "hello", b.substr(53), b.substr(53), "bbbbbb"}));
  EXPECT_EQ(request().substr(0, 45), "GET /hello there HTTP/1.0\r\nHost: 192.168.50.1");
  EXPECT_EQ(syn_port(), 8080);
  serve("just text");  // without a blank line after the headers the whole response is the body
  EXPECT_EQ(output("wget 192.168.50.1 8o"), (Lines{"Resolving + connecting...", "Got 9 bytes:", "just text"}));
  EXPECT_EQ(request().rfind("GET / HTTP/1.0\r\n", 0), 0u);  // no path: the root
  EXPECT_EQ(syn_port(), 80);  // a port that is no number: 80
  serve("");
  e1000_ok = 0;
  EXPECT_EQ(output("wget 192.168.50.1 80 /"), (Lines{"wget: No NIC initialized"}));
  EXPECT_TRUE(card.sent.empty());
}

}  // namespace
}  // namespace tavlin::term_test
