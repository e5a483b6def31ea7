// The card probe and both drivers against device models: frames go out and
// come in whole, bad ones are dropped, and the rings stay consistent.
#include "fake_devices.h"
#include "kernel/net/intel/e1000.h"
#include "kernel/net/pci.h"
#include "kernel/net/realtek/rtl8139.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

constexpr uint32_t kMem = static_cast<uint32_t>(FakeE1000::kBase);
constexpr uint32_t kIo = FakeRtl8139::kBase | 1;

class Nic : public ::testing::Test {
 protected:
  FakePci pci;
  FakeE1000 e1000;
  FakeRtl8139 rtl;
  u8 buf[2048] = {};
  void SetUp() override {
    TearDown();
    pci = FakePci{};
    e1000 = FakeE1000{};
    rtl = FakeRtl8139{};
    reset_network();
    pci.install();
    e1000.install();
    rtl.install();
  }
  void TearDown() override {
    e1000_ok = rtl8139_ok = 0;
    nic_detach();
  }
  // One card alone on the bus, probed.
  bool up(uint16_t device) {
    pci.add(0, 4, 0, device == 0x8139 ? 0x10EC : 0x8086, device, device == 0x8139 ? kIo : kMem);
    return nic_probe() == 1;
  }
  // Puts one frame into the RTL8139 ring at `offset` as the card would.
  void ring_frame(uint32_t offset, uint16_t status, const Bytes& payload, size_t length = 0) {
    const Bytes header = {static_cast<uint8_t>(status), 0, static_cast<uint8_t>(length ? length : payload.size() + 4),
                          static_cast<uint8_t>((length ? length : payload.size() + 4) >> 8)};
    const Bytes frame = join({header, payload});
    for (size_t i = 0; i < frame.size(); ++i) rtl8139_rx_buffer[(offset + i) % 8192] = frame[i];
  }
};

TEST_F(Nic, ProbePrefersTheE1000AndSkipsWhatNoDriverCanUse) {
  struct Function {
    uint32_t slot, fn;
    uint16_t vendor, device;
    uint32_t bar0, bar1, header;
  };
  const std::tuple<const char*, std::vector<Function>, bool, u32, u32> cases[] = {  // the reset sticking; who is up
      {"no card", {}, false, 0, 0},
      {"both", {{2, 0, 0x10EC, 0x8139, kIo, 0, 0}, {5, 0, 0x8086, 0x100E, kMem, 0, 0}}, false, 1, 0},
      {"e1000 on function 2", {{7, 0, 0x8086, 0x1237, 0, 0, 0x80}, {7, 2, 0x8086, 0x10D3, kMem, 0, 0}}, false, 1, 0},
      {"e1000 above 4 GiB", {{3, 0, 0x8086, 0x100E, kMem | 4, 1, 0}}, false, 0, 0},
      {"RTL8139 in memory space", {{4, 0, 0x10EC, 0x8139, 0xFE000000, 0, 0}}, false, 0, 0},
      {"RTL8139 whose reset never ends", {{4, 0, 0x10EC, 0x8139, kIo, 0, 0}}, true, 0, 0},
  };
  for (const auto& [what, bus, reset_sticks, e1000_up, rtl_up] : cases) {
    SetUp();
    for (const Function& f : bus) pci.add(0, f.slot, f.fn, f.vendor, f.device, f.bar0, f.bar1, f.header);
    rtl.reset_sticks = reset_sticks;
    EXPECT_EQ(nic_probe(), e1000_up | rtl_up) << what;
    EXPECT_EQ((std::pair{e1000_ok, rtl8139_ok}), (std::pair{e1000_up, rtl_up})) << what;
    EXPECT_EQ(nic_send_packet(buf, 60) | nic_poll_recv(buf) | nic_link_up(), e1000_up | rtl_up) << what;
  }
  nic_get_mac(buf);
  EXPECT_EQ(bytes(buf, 6), Bytes(6, 0));
  pci_list_devices();
  EXPECT_TRUE(logged("[PCI] Bus 0 Slot 4: Vendor=0x0x000010EC Device=0x0x00008139 Class=0x0x02000000\n"));
}

// The tail may never be moved onto the head: the card would read a full
// ring as an empty one.
TEST_F(Nic, E1000TransmitRingKeepsOneDescriptorEmpty) {
  e1000.regs[0x5400] = 0x12005452;  // the MAC in the receive address registers
  e1000.regs[0x5404] = 0x80005634;
  e1000.eeprom = {};
  ASSERT_TRUE(up(0x100E));
  EXPECT_EQ(bytes(nic_mac, 6), bytes(kOurMac));
  for (int i = 0; i < 31; ++i) ASSERT_EQ(nic_send_packet(buf, 60), 1u) << i;
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);
  EXPECT_EQ(e1000.tdt_writes.back(), 31u);  // one short of the head at 0
  tx_desc_ring[0].status = 1;  // the card finishes one
  EXPECT_EQ(nic_send_packet(buf, 60), 1u);
  EXPECT_EQ(e1000.tdt_writes.back(), 0u);  // wrapped
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);
  EXPECT_EQ(nic_send_packet(buf, 0), 0u);
}

// Status 1 = done, 2 = end of packet; a non-zero error byte marks a bad frame.
TEST_F(Nic, E1000ReceiveDropsBadAndSplitFramesAndGivesEveryDescriptorBack) {
  ASSERT_TRUE(up(0x100E));
  EXPECT_EQ(bytes(nic_mac, 6), bytes(kOurMac));  // from the EEPROM
  e1000.link = 0;
  EXPECT_EQ(nic_link_up(), 0u);
  EXPECT_EQ(nic_poll_recv(buf), 0u);
  const std::tuple<uint16_t, uint8_t, uint8_t, u32> ring[] = {  // length, status, errors; what the poll returns
      {3000, 3, 0, 2048},  // cut to the buffer
      {64, 3, 0x01, 0},    // CRC error
      {2048, 1, 0, 0},     // the first part of a frame too long for one buffer
      {900, 3, 0, 0},      // its end
      {64, 3, 0, 64},      // the next whole frame
  };
  for (size_t i = 0; i < std::size(ring); ++i) {
    rx_buffers[i][0] = static_cast<u8>(0x70 + i);
    rx_desc_ring[i].length = std::get<0>(ring[i]);
    rx_desc_ring[i].status = std::get<1>(ring[i]);
    rx_desc_ring[i].errors = std::get<2>(ring[i]);
  }
  for (size_t i = 0; i < std::size(ring); ++i) {
    buf[0] = 0;
    const u32 returned = std::get<3>(ring[i]);
    EXPECT_EQ(nic_poll_recv(buf), returned) << i;
    EXPECT_EQ(buf[0], returned ? 0x70 + i : 0) << i;
    EXPECT_EQ(e1000.regs[0x2818], i) << i;  // handed back to the card
  }
}

// A length no frame can have means the reader lost the frame boundaries: the
// receiver restarts and reading resumes where the card writes next.
TEST_F(Nic, Rtl8139ReadsWholeFramesAndRestartsOnABadHeader) {
  ASSERT_TRUE(up(0x8139));
  EXPECT_EQ(bytes(nic_mac, 6), bytes(rtl.mac, 6));
  rtl8139_rx_cur = 8160;
  ring_frame(8160, 1, pattern(100));
  ring_frame(76, 0, Bytes(60, 9));      // receive-OK clear: skipped
  ring_frame(144, 1, Bytes(1596, 5));  // the largest accepted
  rtl.cbr = 1748;
  EXPECT_EQ(nic_poll_recv(buf), 100u);
  EXPECT_EQ(bytes(buf, 100), pattern(100));
  EXPECT_EQ(nic_poll_recv(buf), 0u);
  EXPECT_EQ(nic_poll_recv(buf), 1596u);
  EXPECT_EQ(nic_poll_recv(buf), 0u);  // caught up with the card
  for (size_t length : {1601, 17}) {
    ring_frame(rtl8139_rx_cur, 1, {}, length);
    rtl.cbr = static_cast<uint16_t>(rtl8139_rx_cur + 2000);
    EXPECT_EQ(nic_poll_recv(buf), 0u) << length;
    EXPECT_EQ(rtl8139_rx_cur, rtl.cbr) << length;
    EXPECT_EQ(rtl.regs[0x38], rtl.cbr - 16u) << length;
    ring_frame(rtl.cbr, 1, pattern(60));
    rtl.cbr = static_cast<uint16_t>(rtl.cbr + 68);
    EXPECT_EQ(nic_poll_recv(buf), 60u) << length;
    EXPECT_EQ(bytes(buf, 60), pattern(60)) << length;
  }
}

TEST_F(Nic, Rtl8139SendPadsWithZerosAndGivesUpOnASlotNeverSent) {
  ASSERT_TRUE(up(0x8139));
  std::fill(&rtl8139_tx_buffers[0][0], &rtl8139_tx_buffers[0][0] + 1536, 0xEE);
  ASSERT_EQ(nic_send_packet(Bytes(42, 0x11).data(), 42), 1u);
  EXPECT_EQ(rtl.regs[0x10] & 0x1FFF, 60u);
  EXPECT_EQ(bytes(rtl8139_tx_buffers[0], 60), join({Bytes(42, 0x11), Bytes(18, 0)}));
  EXPECT_EQ(nic_send_packet(buf, 1537), 0u);
  EXPECT_EQ(nic_send_packet(Bytes(1536, 1).data(), 1536), 1u);
  EXPECT_EQ(rtl.regs[0x14] & 0x1FFF, 1536u);  // the next slot
  rtl.tx_completes = false;
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);  // the slot is still the card's
  EXPECT_EQ(rtl8139_tx_cur, 2u);
}

}  // namespace
}  // namespace tavlin::nettest
