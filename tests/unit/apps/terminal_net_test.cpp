// The Terminal's network commands on a scripted card: ifconfig's lines,
// itest's frame byte by byte, and wget's argument parsing and body printing
// against a scripted HTTP server.
#include <gtest/gtest.h>

#include "kernel/net/http.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/net/tcp_peer.h"

namespace tavlin::term_test {
namespace {

using nettest::Bytes;
using nettest::kOurMac;
using nettest::kServerIp;
using nettest::ScriptedCard;

class TermNet : public nettest::NetTest, public TerminalRig {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    e1000_ok = 1;
    open_terminal();
  }
  void TearDown() override {
    close_terminal();
    e1000_ok = rtl8139_ok = 0;
    NetTest::TearDown();
  }
};

using Ifconfig = TermNet;
using Itest = TermNet;

class Wget : public TermNet {
 protected:
  void SetUp() override {
    TermNet::SetUp();
    configure();
    peer.attach(*this, card);
  }
  // A new server and an empty card, for several fetches in one test.
  void fresh_server() {
    card.sent.clear();
    card.incoming.clear();
    card.peer = nullptr;
    peer = nettest::TcpPeer{};
    peer.attach(*this, card);
  }
  void serve(const std::string& response) {
    peer.script = {{0, Bytes(response.begin(), response.end()), kTcpAck | kTcpPsh | kTcpFin}};
  }
  std::string request() const { return std::string(peer.request.begin(), peer.request.end()); }
  // Destination port of the first SYN we sent.
  uint16_t syn_port() const {
    for (const Bytes& f : card.sent)
      if (nettest::be16_at(f, 12) == 0x0800 && f.size() > 47 && f[23] == 6 && f[47] == kTcpSyn)
        return nettest::be16_at(f, 36);
    return 0;
  }
  nettest::TcpPeer peer;
};

TEST_F(Ifconfig, ShowsTheConfigurationTheServerTableAndTheCardAddress) {
  const u8 ip[4] = {192, 168, 50, 10}, mask[4] = {255, 255, 255, 0}, gw[4] = {192, 168, 50, 1};
  memcpy(net_my_ip, ip, 4);
  memcpy(net_netmask, mask, 4);
  memcpy(net_gateway_ip, gw, 4);
  const u8 dns[2][4] = {{192, 168, 50, 1}, {10, 0, 0, 53}};
  memcpy(net_dns_servers, dns, sizeof dns);
  net_dns_count = 2;
  EXPECT_EQ(output("ifconfig"), (Lines{"IP: 192.168.50.10", "Mask: 255.255.255.0", "Gateway: 192.168.50.1",
                                       "DNS: 192.168.50.1, 10.0.0.53", "MAC: 52:54:00:12:34:56"}));
  // Only the servers the table holds, and none for a negative count.
  const std::pair<i32, const char*> counts[] = {
      {1, "DNS: 192.168.50.1"}, {7, "DNS: 192.168.50.1, 10.0.0.53"}, {-1, "DNS: "}};
  for (auto [count, line] : counts) {
    net_dns_count = count;
    EXPECT_EQ(output("ifconfig")[3], line) << count;
  }
  net_config_clear();
  nic_detach();
  EXPECT_EQ(output("ifconfig"),
            (Lines{"IP: 0.0.0.0", "Mask: 0.0.0.0", "Gateway: 0.0.0.0", "DNS: ", "MAC: 00:00:00:00:00:00"}));
}

TEST_F(Itest, SendsOneBroadcastTestFrameAndPollsOnce) {
  const Lines out = output("itest");
  EXPECT_EQ(out, (Lines{"Using e1000 driver", "MAC: 52:54:00:12:34:56", "Link: up", "TX: sent test frame",
                        "RX: nothing pending"}));
  ASSERT_EQ(card.sent.size(), 1u);
  Bytes expected(60, 0);
  for (int i = 0; i < 6; ++i) expected[i] = 0xFF;
  std::copy(kOurMac.begin(), kOurMac.end(), expected.begin() + 6);
  expected[12] = 0x88;
  expected[13] = 0xB5;
  const std::string payload = "TavlinOS itest packet";
  std::copy(payload.begin(), payload.end(), expected.begin() + 14);
  EXPECT_EQ(card.sent[0], expected);
  EXPECT_EQ(card.polls, 1u);
}

TEST_F(Itest, ReportsTheLinkAWaitingFrameAFailedSendAndNoCard) {
  card.link = 0;
  card.incoming.push_back(Bytes(64, 0xAB));
  card.incoming.push_back(Bytes(90, 0xCD));
  const Lines out = output("itest");
  EXPECT_EQ(out[2], "Link: down");
  EXPECT_EQ(out[4], "RX: got 64 bytes");
  EXPECT_EQ(card.incoming.size(), 1u);
  const size_t sent = card.sent.size();
  const u32 polls = card.polls;
  e1000_ok = 0;
  EXPECT_EQ(output("itest"), (Lines{"No NIC initialized"}));
  EXPECT_EQ(card.sent.size(), sent);
  EXPECT_EQ(card.polls, polls);
  rtl8139_ok = 1;
  static const NicDriver refusing = {[](const u8*, u32) -> u32 { return 0; }, [](u8*) -> u32 { return 0; },
                                     [](void) -> u32 { return 1; }};
  const u8 mac[6] = {0x00, 0xA0, 0xC9, 0x0F, 0xE1, 0x7B};
  nic_attach(refusing, mac);
  EXPECT_EQ(output("itest"), (Lines{"Using RTL8139 driver", "MAC: 00:A0:C9:0F:E1:7B", "Link: up", "TX: send failed",
                                    "RX: nothing pending"}));
}

TEST_F(Wget, FetchesAndPrintsTheBody) {
  serve("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello\r\nworld\n");
  EXPECT_EQ(output("wget 192.168.50.1 80 /hello.txt"),
            (Lines{"Resolving + connecting...", "Got 13 bytes:", "hello", "world"}));
  EXPECT_EQ(request().substr(0, 43), "GET /hello.txt HTTP/1.0\r\nHost: 192.168.50.1");
  EXPECT_EQ(syn_port(), 80);
}

TEST_F(Wget, PortWordAndPathAreParsedAcrossSpaces) {
  peer.port = 8080;
  serve("HTTP/1.0 200 OK\r\n\r\nx");
  EXPECT_EQ(output("wget 192.168.50.1   8080   /a b")[1], "Got 1 bytes:");
  EXPECT_EQ(syn_port(), 8080);
  EXPECT_EQ(request().substr(0, 20), "GET /a b HTTP/1.0\r\nH");
}

TEST_F(Wget, InvalidOrMissingPortGivesEightyAndAnEmptyPathTheRoot) {
  for (const char* line : {"wget 192.168.50.1 abc /", "wget 192.168.50.1 0 /", "wget 192.168.50.1 8o /",
                           "wget 192.168.50.1 65536 /", "wget 192.168.50.1 99999999999999 /", "wget 192.168.50.1"}) {
    fresh_server();
    serve("HTTP/1.0 200 OK\r\n\r\nok");
    EXPECT_EQ(output(line), (Lines{"Resolving + connecting...", "Got 2 bytes:", "ok"})) << line;
    EXPECT_EQ(syn_port(), 80) << line;
    EXPECT_EQ(request().substr(0, 16), "GET / HTTP/1.0\r\n") << line;
  }
  // Without a blank line after the headers the whole response is the body.
  fresh_server();
  serve("just text");
  EXPECT_EQ(output("wget 192.168.50.1 80 /"), (Lines{"Resolving + connecting...", "Got 9 bytes:", "just text"}));
}

TEST_F(Wget, LongLinesContinueAfterFortySevenCharacters) {
  const std::string a(47, 'a'), b(100, 'b');
  serve("HTTP/1.0 200 OK\r\n\r\n" + a + "\n" + b);
  EXPECT_EQ(output("wget 192.168.50.1 80 /"), (Lines{"Resolving + connecting...", "Got 148 bytes:", a,
                                                     std::string(47, 'b'), std::string(47, 'b'), std::string(6, 'b')}));
}

TEST_F(Wget, OnlyTheLastFourteenLinesOfALongBodyStay) {
  std::string body;
  for (int i = 1; i <= 40; ++i) body += "line " + std::to_string(i) + "\n";
  serve("HTTP/1.0 200 OK\r\n\r\n" + body);
  const Lines all = run("wget 192.168.50.1 80 /");
  Lines expected;
  for (int i = 28; i <= 40; ++i) expected.push_back("line " + std::to_string(i));
  expected.push_back("");
  EXPECT_EQ(all, expected);
}

TEST_F(Wget, RefusesBadAddressesAndReportsASilentServerOrNoCard) {
  for (const char* line : {"wget", "wget  192.168.50.1 80 /", "wget example.com 80 /"})
    EXPECT_EQ(output(line), (Lines{"usage: wget <ip> <port> <path>"})) << line;
  EXPECT_TRUE(card.sent.empty());
  peer.answer_syn = false;
  EXPECT_EQ(output("wget 192.168.50.1 80 /"),
            (Lines{"Resolving + connecting...", "wget: request failed or timed out"}));
  fresh_server();
  e1000_ok = 0;
  EXPECT_EQ(output("wget 192.168.50.1 80 /"), (Lines{"wget: No NIC initialized"}));
  EXPECT_TRUE(card.sent.empty());
}

}  // namespace
}  // namespace tavlin::term_test
