// ARP: the request we send, the cache and what the pump makes of ARP frames.
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

class Arp : public NetTest {};

TEST_F(Arp, RequestIsBroadcastWithOurAddressesAtFixedOffsets) {
  configure();
  const Ip target = {192, 168, 50, 77};
  answer_arp_for(target);
  u8 mac[6];
  ASSERT_EQ(arp_resolve(target.data(), mac), 1u);
  EXPECT_EQ(bytes(mac, 6), bytes(kPeerMac));
  ASSERT_EQ(card.sent.size(), 1u);
  const Bytes& f = card.sent[0];
  ASSERT_EQ(f.size(), 60u);
  // Ethernet, IPv4, sizes 6 and 4, operation 1 (request)
  EXPECT_EQ(slice(f, 0, 22),
            join({Bytes(6, 0xFF), bytes(kOurMac), {0x08, 0x06}, {0, 1, 0x08, 0, 6, 4, 0, 1}}));
  EXPECT_EQ(slice(f, 22, 20), join({bytes(kOurMac), bytes(kOurIp), Bytes(6, 0), bytes(target)}));
  EXPECT_EQ(slice(f, 42, 18), Bytes(18, 0));  // padding carries nothing old
}

TEST_F(Arp, UnconfiguredFailsAndCachedAddressNeedsNoRequest) {
  u8 mac[6];
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);
  configure();
  arp_cache_learn(kServerIp.data(), kPeerMac.data());
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 1u);
  EXPECT_TRUE(card.sent.empty());
}

TEST_F(Arp, ReplyForAnotherAddressDoesNotResolveAndFiveAttemptsAreMade) {
  configure();
  const Ip other = {192, 168, 50, 99};
  card.peer = [&](const Bytes& f) {
    if (be16_at(f, 12) == 0x0806) card.incoming.push_back(arp_reply(other, kPeerMac));
  };
  u8 mac[6];
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);
  EXPECT_EQ(card.sent.size(), 5u);
  EXPECT_GE(pit_ticks, 300u);
  EXPECT_EQ(arp_cache_lookup(other.data(), mac), 1u);  // still learned
}

TEST_F(Arp, NinthAddressOverwritesEntryZeroAndKnownAddressUpdatesInPlace) {
  for (uint8_t i = 1; i <= 8; ++i) net_receive_frame(arp_reply({10, 0, 0, i}, kPeerMac).data(), 42);
  Mac changed = kPeerMac;
  changed[5] = 0x99;
  net_receive_frame(arp_reply({10, 0, 0, 5}, changed).data(), 42);
  EXPECT_EQ(bytes(arp_cache[4].mac, 6), bytes(changed));
  net_receive_frame(arp_reply({10, 0, 0, 9}, kPeerMac).data(), 42);
  EXPECT_EQ(bytes(arp_cache[0].ip, 4), (Bytes{10, 0, 0, 9}));
  u8 mac[6];
  const u8 first[4] = {10, 0, 0, 1};
  EXPECT_EQ(arp_cache_lookup(first, mac), 0u);
}

TEST_F(Arp, OnlyRequestsForOurConfiguredAddressAreAnswered) {
  const Mac broadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const auto request_for = [&](const Ip& target) {
    return ethernet(broadcast, kPeerMac, 0x0806, arp_packet(1, kPeerMac, kServerIp, Mac{}, target));
  };
  card.incoming.push_back(request_for(kOurIp));  // not configured yet: no answer
  net_pump();
  configure();
  card.incoming.push_back(request_for({192, 168, 50, 11}));
  card.incoming.push_back(request_for(kOurIp));
  net_pump();
  ASSERT_EQ(card.sent.size(), 1u);
  // To the asker, operation 2, our addresses as sender, the asker's as target
  EXPECT_EQ(card.sent[0], join({bytes(kPeerMac), bytes(kOurMac), {0x08, 0x06, 0, 1, 0x08, 0, 6, 4, 0, 2},
                                bytes(kOurMac), bytes(kOurIp), bytes(kPeerMac), bytes(kServerIp),
                                Bytes(18, 0)}));
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);  // a request teaches nothing
}

TEST_F(Arp, TruncatedAndForeignFormatRepliesAreNotLearned) {
  const Bytes reply = arp_reply(kServerIp, kPeerMac);
  for (u32 len = 0; len < 42; ++len) net_receive_frame(reply.data(), len);
  Bytes long_hw = reply;
  long_hw[18] = 8;  // hardware size 8: the addresses are not where we read
  net_receive_frame(long_hw.data(), static_cast<u32>(long_hw.size()));
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(kServerIp.data(), mac), 0u);
}

TEST_F(Arp, Ipv4FrameArrivingDuringTheWaitIsDropped) {
  configure();
  card.peer = [&](const Bytes& f) {
    if (be16_at(f, 12) != 0x0806) return;
    card.incoming.push_back(udp_frame(kServerIp, kOurIp, 53, 4000, Bytes(20, 1)));
    card.incoming.push_back(arp_reply(kServerIp, kPeerMac));
  };
  u8 mac[6];
  ASSERT_EQ(arp_resolve(kServerIp.data(), mac), 1u);
  EXPECT_EQ(net_have_ipv4_frame, 0u);
}

}  // namespace
}  // namespace tavlin::nettest
