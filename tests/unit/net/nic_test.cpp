// The card probe and both drivers, with device models behind the fake
// hardware layer.
#include "fake_devices.h"
#include "kernel/net/intel/e1000.h"
#include "kernel/net/pci.h"
#include "kernel/net/realtek/rtl8139.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

class Nic : public ::testing::Test {
 protected:
  FakePci pci;
  FakeE1000 e1000;
  FakeRtl8139 rtl;
  void SetUp() override {
    reset_network();
    e1000_ok = rtl8139_ok = 0;
    pci.install();
  }
  void TearDown() override {
    e1000_ok = rtl8139_ok = 0;
    nic_detach();
  }
  void add_e1000(uint32_t slot = 3) {
    pci.add(0, slot, 0, 0x8086, 0x100E, static_cast<uint32_t>(FakeE1000::kBase));
    e1000.install();
  }
  void add_rtl(uint32_t slot = 4, uint32_t bar0 = FakeRtl8139::kBase | 1) {
    pci.add(0, slot, 0, 0x10EC, 0x8139, bar0);
    rtl.install();
  }
  // One card alone on the bus, probed.
  bool e1000_up() { add_e1000(); return nic_probe() == 1; }
  bool rtl_up() { add_rtl(); return nic_probe() == 1; }
  uint32_t rtl_reg(uint16_t reg) { return rtl.regs[reg]; }
  // Empty bus and fresh device models, for several probes in one test.
  void fresh() {
    pci = FakePci{};
    e1000 = FakeE1000{};
    rtl = FakeRtl8139{};
    SetUp();
  }
  // Puts one frame into the RTL8139 ring at `offset` as the card would.
  void ring_frame(uint32_t offset, uint16_t status, const Bytes& payload, uint16_t length = 0) {
    if (!length) length = static_cast<uint16_t>(payload.size() + 4);
    const uint8_t header[4] = {static_cast<uint8_t>(status), static_cast<uint8_t>(status >> 8),
                               static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
    for (uint32_t i = 0; i < 4; ++i) rtl8139_rx_buffer[(offset + i) % 8192] = header[i];
    for (size_t i = 0; i < payload.size(); ++i)
      rtl8139_rx_buffer[(offset + 4 + i) % 8192] = payload[i];
  }
};

TEST_F(Nic, ListingLogsEveryFunctionZero) {
  add_e1000(3);
  pci.add(2, 31, 0, 0x1234, 0x1111, 0);
  pci_list_devices();
  EXPECT_TRUE(logged("[PCI] Bus 0 Slot 3: Vendor=0x0x00008086 Device=0x0x0000100E Class=0x0x02000000\n"));
  EXPECT_TRUE(logged("[PCI] Bus 2 Slot 31: Vendor=0x0x00001234"));
}

TEST_F(Nic, BothCardsPresentOnlyTheE1000IsSetUp) {
  add_rtl(2);
  add_e1000(5);
  ASSERT_EQ(nic_probe(), 1u);
  EXPECT_EQ(e1000_ok, 1u);
  EXPECT_EQ(rtl8139_ok, 0u);
  EXPECT_FALSE(logged("[RTL8139]"));
  EXPECT_EQ(pci.word(0, 5, 0, 4) & 0x6, 0x6u);  // memory space and bus master
  EXPECT_EQ(nic_link_up(), 1u);
  e1000.link = 0;
  EXPECT_EQ(nic_link_up(), 0u);
}

TEST_F(Nic, NoCardLogsAndLeavesEverythingAnsweringNothing) {
  EXPECT_EQ(nic_probe(), 0u);
  u8 mac[6] = {1, 1, 1, 1, 1, 1}, buf[2048];
  nic_get_mac(mac);
  EXPECT_EQ(bytes(mac, 6), Bytes(6, 0));
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);
  EXPECT_EQ(nic_poll_recv(buf), 0u);
  EXPECT_EQ(nic_link_up(), 0u);
}

TEST_F(Nic, E1000OnALaterFunctionIsFoundAndOneAbove4GiBIsSkipped) {
  pci.add(0, 7, 0, 0x8086, 0x1237, 0, 0, 0x80);  // multi-function header type
  pci.add(0, 7, 2, 0x8086, 0x10D3, static_cast<uint32_t>(FakeE1000::kBase));
  e1000.install();
  EXPECT_EQ(nic_probe(), 1u);
  fresh();
  pci.add(0, 3, 0, 0x8086, 0x100E, static_cast<uint32_t>(FakeE1000::kBase) | 0x4, 1);  // 64-bit BAR
  e1000.install();
  EXPECT_EQ(nic_probe(), 0u);
}

TEST_F(Nic, E1000MacFromReceiveAddressOrEeprom) {
  e1000.eeprom = {0x1100, 0x3322, 0x5544};
  e1000.regs[0x5400] = 0x12005452;
  e1000.regs[0x5404] = 0x80005634;
  ASSERT_TRUE(e1000_up());
  u8 mac[6];
  nic_get_mac(mac);
  EXPECT_EQ(bytes(mac, 6), (Bytes{0x52, 0x54, 0x00, 0x12, 0x34, 0x56}));
  fresh();
  e1000.eeprom = {0x1100, 0x3322, 0x5544};  // receive address registers read zero
  ASSERT_TRUE(e1000_up());
  EXPECT_EQ(bytes(nic_mac, 6), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

// The tail may never be moved onto the head: the card would read a full
// ring as an empty one.
TEST_F(Nic, E1000TransmitRingKeepsOneDescriptorEmpty) {
  ASSERT_TRUE(e1000_up());
  u8 frame[60] = {1, 2, 3};
  for (int i = 0; i < 31; ++i) ASSERT_EQ(nic_send_packet(frame, 60), 1u) << i;
  EXPECT_EQ(nic_send_packet(frame, 60), 0u);
  ASSERT_EQ(e1000.tdt_writes.size(), 32u);  // set-up, then one per frame
  EXPECT_EQ(e1000.tdt_writes[1], 1u);
  EXPECT_EQ(e1000.tdt_writes.back(), 31u);  // one short of the head at 0
  EXPECT_EQ(static_cast<int>(tx_desc_ring[0].command), 0x0B);
  EXPECT_EQ(static_cast<int>(tx_desc_ring[0].length), 60);
  tx_desc_ring[0].status = 1;  // the card finishes one
  EXPECT_EQ(nic_send_packet(frame, 60), 1u);
  EXPECT_EQ(e1000.tdt_writes.back(), 0u);  // wrapped
  EXPECT_EQ(nic_send_packet(frame, 60), 0u);
  EXPECT_EQ(nic_send_packet(frame, 0), 0u);
}

// Status 1 = done, 2 = end of packet; a non-zero error byte marks a bad frame.
TEST_F(Nic, E1000ReceiveDropsBadAndSplitFramesAndGivesEveryDescriptorBack) {
  ASSERT_TRUE(e1000_up());
  u8 buf[2048];
  EXPECT_EQ(nic_poll_recv(buf), 0u);
  const struct {
    uint16_t length;
    uint8_t status, errors;
    u32 returned;
  } ring[] = {
      {3000, 3, 0, 2048},  // cut to the buffer, still returned
      {64, 3, 0x01, 0},    // CRC error
      {2048, 1, 0, 0},     // the first part of a frame too long for one buffer
      {900, 3, 0, 0},      // its end
      {64, 3, 0, 64},      // the next whole frame
  };
  for (size_t i = 0; i < std::size(ring); ++i) {
    rx_buffers[i][0] = static_cast<u8>(0x70 + i);
    rx_desc_ring[i].length = ring[i].length;
    rx_desc_ring[i].errors = ring[i].errors;
    rx_desc_ring[i].status = ring[i].status;
  }
  for (size_t i = 0; i < std::size(ring); ++i) {
    EXPECT_EQ(nic_poll_recv(buf), ring[i].returned) << i;
    if (ring[i].returned) EXPECT_EQ(buf[0], 0x70 + i) << i;
    EXPECT_EQ(e1000.regs[0x2818], i) << i;  // handed back to the card
    EXPECT_EQ(static_cast<int>(rx_desc_ring[i].status), 0) << i;
  }
}

// Frames must wrap inside the 8 KiB ring: the reader copies across its end.
TEST_F(Nic, Rtl8139SetUpKeepsFramesInsideTheRing) {
  ASSERT_TRUE(rtl_up());
  EXPECT_EQ(rtl_reg(0x44) & ((1u << 7) | (3u << 11)), 0u);
  EXPECT_EQ(bytes(nic_mac, 6), bytes(rtl.mac, 6));
  EXPECT_EQ(pci.word(0, 4, 0, 4) & 0x5, 0x5u);  // I/O space and bus master
}

TEST_F(Nic, Rtl8139MemoryBarOrStuckResetMeansNoCard) {
  add_rtl(4, 0xFE000000);
  EXPECT_EQ(nic_probe(), 0u);
  fresh();
  add_rtl();
  rtl.reset_sticks = true;
  EXPECT_EQ(nic_probe(), 0u);
  EXPECT_EQ(rtl8139_ok, 0u);
}

TEST_F(Nic, Rtl8139FrameStraddlingTheRingEndComesBackWhole) {
  ASSERT_TRUE(rtl_up());
  const Bytes payload = pattern(100, 1);
  rtl8139_rx_cur = 8160;
  ring_frame(8160, 1, payload);
  rtl.cbr = 76;  // 8160 + 4 + 104, rounded up to 4, past the 8 KiB ring
  u8 buf[2048];
  ASSERT_EQ(nic_poll_recv(buf), 100u);
  EXPECT_EQ(bytes(buf, 100), payload);
  EXPECT_EQ(rtl8139_rx_cur, 76);
  EXPECT_EQ(rtl.capr_writes.back(), 60);  // 16 below the read offset
  EXPECT_EQ(nic_poll_recv(buf), 0u);  // caught up with the card
}

TEST_F(Nic, Rtl8139FrameWithoutReceiveOkIsSkipped) {
  ASSERT_TRUE(rtl_up());
  u8 buf[2048];
  ring_frame(0, 0, Bytes(60, 9));  // receive-OK clear
  ring_frame(68, 1, Bytes(1596, 5));  // the largest accepted
  rtl.cbr = 1700;
  EXPECT_EQ(nic_poll_recv(buf), 0u);
  EXPECT_EQ(rtl8139_rx_cur, 68);
  EXPECT_EQ(nic_poll_recv(buf), 1596u);
}

// A length no frame can have means the reader lost the frame boundaries:
// the receiver restarts and reading resumes where the card writes next.
TEST_F(Nic, Rtl8139BadHeaderRestartsTheReceiver) {
  for (uint16_t length : {1601, 17, 0xFFFF}) {
    fresh();
    ASSERT_TRUE(rtl_up());
    u8 buf[2048];
    ring_frame(0, 1, {}, length);
    rtl.cbr = 2000;
    rtl.regs[0x37] = 0;
    EXPECT_EQ(nic_poll_recv(buf), 0u) << length;
    EXPECT_EQ(rtl8139_rx_cur, 2000) << length;
    EXPECT_EQ(rtl.capr_writes.back(), 1984) << length;
    EXPECT_EQ(rtl_reg(0x37), 0x0Cu) << length;  // receiver and transmitter on again
    ring_frame(2000, 1, pattern(60));
    rtl.cbr = 2068;
    EXPECT_EQ(nic_poll_recv(buf), 60u) << length;
    EXPECT_EQ(bytes(buf, 60), pattern(60)) << length;
  }
}

TEST_F(Nic, Rtl8139SendPadsWithZerosAndRotatesSlots) {
  ASSERT_TRUE(rtl_up());
  std::fill(&rtl8139_tx_buffers[0][0], &rtl8139_tx_buffers[0][0] + 1536, 0xEE);
  u8 frame[42];
  std::fill(frame, frame + 42, 0x11);
  ASSERT_EQ(nic_send_packet(frame, 42), 1u);
  EXPECT_EQ(rtl_reg(0x10) & 0x1FFF, 60u);
  EXPECT_EQ(bytes(rtl8139_tx_buffers[0] + 42, 18), Bytes(18, 0));
  EXPECT_EQ(rtl8139_tx_cur, 1u);
  EXPECT_EQ(nic_send_packet(frame, 0), 0u);
  u8 big[1537] = {};
  EXPECT_EQ(nic_send_packet(big, 1537), 0u);
  EXPECT_EQ(nic_send_packet(big, 1536), 1u);
  EXPECT_EQ(rtl_reg(0x14) & 0x1FFF, 1536u);
}

TEST_F(Nic, Rtl8139TransmitThatNeverCompletesTimesOut) {
  ASSERT_TRUE(rtl_up());
  rtl.tx_completes = false;
  u8 frame[60] = {};
  EXPECT_EQ(nic_send_packet(frame, 60), 0u);
  EXPECT_EQ(rtl8139_tx_cur, 0u);
  EXPECT_EQ(nic_send_packet(frame, 60), 0u);  // the slot is still the card's
}

}  // namespace
}  // namespace tavlin::nettest
