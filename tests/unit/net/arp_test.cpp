// ARP: the request we send, what the cache learns, and our answers.
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

using Arp = NetTest;

// Up to five broadcast requests; only a reply from the asked address resolves,
// and IPv4 frames that come meanwhile are dropped.
TEST_F(Arp, ResolveAsksFiveTimesForTheAddressAndKeepsTheAnswer) {
  u8 mac[6];
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);  // no address of our own yet
  configure();
  const Ip other = {192, 168, 50, 99};
  card.peer = [&](const Bytes&) {
    card.incoming.push_back(udp_frame(kServerIp, kOurIp, 53, 4000, Bytes(20, 1)));
    card.incoming.push_back(arp_reply(other, kPeerMac));
  };
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);
  EXPECT_EQ(card.sent.size(), 5u);
  EXPECT_EQ(arp_cache_lookup(other.data(), mac), 1u);  // still learned
  EXPECT_EQ(net_have_ipv4_frame, 0u);
  card.peer = [&](const Bytes&) { card.incoming.push_back(arp_reply(kServerIp, kPeerMac)); };
  ASSERT_EQ(arp_resolve(kServerIp.data(), mac), 1u);
  EXPECT_EQ(bytes(mac, 6), bytes(kPeerMac));
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 1u);  // from the cache
  // The padding carries nothing old.
  const Bytes request = join({Bytes(6, 0xFF), bytes(kOurMac), {8, 6, 0, 1, 8, 0, 6, 4, 0, 1}, bytes(kOurMac),
                              bytes(kOurIp), Bytes(6, 0), bytes(kServerIp), Bytes(18, 0)});
  EXPECT_EQ(std::vector<Bytes>(card.sent.begin() + 4, card.sent.end()), (std::vector<Bytes>{request, request}));
}

// Eight entries; a ninth address takes entry 0, a known one is updated in place. A request teaches nothing,
// and only one for our configured address is answered.
TEST_F(Arp, CacheLearnsOnlyWholeEthernetRepliesAndOnlyRequestsForOurAddressAreAnswered) {
  for (uint8_t i = 1; i <= 9; ++i) net_receive_frame(arp_reply({10, 0, 0, i}, kPeerMac).data(), 42);
  Mac changed = kPeerMac;
  changed[5] = 0x99;
  net_receive_frame(arp_reply({10, 0, 0, 5}, changed).data(), 42);
  EXPECT_EQ(bytes(arp_cache[0].ip, 4), (Bytes{10, 0, 0, 9}));
  EXPECT_EQ(bytes(arp_cache[4].mac, 6), bytes(changed));
  Bytes reply = arp_reply(kServerIp, kPeerMac);
  net_receive_frame(reply.data(), 41);
  reply[18] = 8;  // hardware size 8: the addresses are not where we read
  net_receive_frame(reply.data(), 42);
  const auto request_for = [&](const Ip& target) {
    return ethernet(Mac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kPeerMac, 0x0806,
                    arp_packet(1, kPeerMac, kServerIp, Mac{}, target));
  };
  card.incoming.push_back(request_for(kOurIp));  // not configured yet: no answer
  net_pump();
  configure();
  card.incoming.push_back(request_for({192, 168, 50, 11}));
  card.incoming.push_back(request_for(kOurIp));
  net_pump();
  // To the asker, operation 2, our addresses as sender, the asker's as target
  EXPECT_EQ(card.sent, std::vector<Bytes>{join({bytes(kPeerMac), bytes(kOurMac), {8, 6, 0, 1, 8, 0, 6, 4, 0, 2},
                                                bytes(kOurMac), bytes(kOurIp), bytes(kPeerMac), bytes(kServerIp),
                                                Bytes(18, 0)})});
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);
}

}  // namespace
}  // namespace tavlin::nettest
