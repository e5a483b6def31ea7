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
  ASSERT_EQ(card.sent.size(), 1u);
  const Bytes& f = card.sent[0];
  ASSERT_EQ(f.size(), 60u);
  EXPECT_EQ(slice(f, 0, 6), Bytes(6, 0xFF));
  EXPECT_EQ(slice(f, 6, 6), bytes(kOurMac));
  EXPECT_EQ(be16_at(f, 12), 0x0806);
  EXPECT_EQ(be16_at(f, 14), 1);       // Ethernet
  EXPECT_EQ(be16_at(f, 16), 0x0800);  // IPv4
  EXPECT_EQ(f[18], 6);
  EXPECT_EQ(f[19], 4);
  EXPECT_EQ(be16_at(f, 20), 1);  // request
  EXPECT_EQ(slice(f, 22, 6), bytes(kOurMac));
  EXPECT_EQ(slice(f, 28, 4), bytes(kOurIp));
  EXPECT_EQ(slice(f, 32, 6), Bytes(6, 0));
  EXPECT_EQ(slice(f, 38, 4), bytes(target));
  EXPECT_EQ(slice(f, 42, 18), Bytes(18, 0));  // padding carries nothing old
  EXPECT_EQ(Bytes(mac, mac + 6), bytes(kPeerMac));
}

TEST_F(Arp, UnconfiguredInterfaceFailsWithoutSending) {
  u8 mac[6];
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);
  EXPECT_TRUE(card.sent.empty());
}

TEST_F(Arp, CachedAddressNeedsNoRequest) {
  configure();
  arp_cache_learn(kServerIp.data(), kPeerMac.data());
  u8 mac[6];
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
  const u32 start = pit_ticks;
  EXPECT_EQ(arp_resolve(kServerIp.data(), mac), 0u);
  EXPECT_EQ(card.sent.size(), 5u);
  EXPECT_GE(pit_ticks - start, 300u);
  EXPECT_EQ(arp_cache_lookup(other.data(), mac), 1u);  // still learned
  EXPECT_NE(serial_log().find("[ARP] attempt timed out, RX ptr read="), std::string::npos);
}

TEST_F(Arp, NinthAddressOverwritesEntryZeroAndKnownAddressUpdatesInPlace) {
  for (uint8_t i = 0; i < 8; ++i) {
    const Ip ip = {10, 0, 0, static_cast<uint8_t>(i + 1)};
    net_receive_frame(arp_reply(ip, kPeerMac).data(), 42);
  }
  Mac changed = kPeerMac;
  changed[5] = 0x99;
  const Ip fifth = {10, 0, 0, 5};
  net_receive_frame(arp_reply(fifth, changed).data(), 42);
  EXPECT_EQ(Bytes(arp_cache[4].mac, arp_cache[4].mac + 6), bytes(changed));
  const Ip ninth = {10, 0, 0, 9};
  net_receive_frame(arp_reply(ninth, kPeerMac).data(), 42);
  EXPECT_EQ(Bytes(arp_cache[0].ip, arp_cache[0].ip + 4), bytes(ninth));
  u8 mac[6];
  const Ip first = {10, 0, 0, 1};
  EXPECT_EQ(arp_cache_lookup(first.data(), mac), 0u);
}

TEST_F(Arp, RequestFromAnotherHostIsNotAnsweredNorLearned) {
  configure();
  const Ip asker = {192, 168, 50, 3};
  card.incoming.push_back(
      ethernet(Mac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kPeerMac, 0x0806,
               arp_packet(1, kPeerMac, asker, Mac{}, kOurIp)));
  net_pump();
  EXPECT_TRUE(card.sent.empty());
  u8 mac[6];
  EXPECT_EQ(arp_cache_lookup(asker.data(), mac), 0u);
}

TEST_F(Arp, TruncatedAndForeignFormatRepliesAreDropped) {
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
