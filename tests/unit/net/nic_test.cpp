// The card probe and both drivers against device models: frames go out and
// come in whole, bad ones are dropped, and the rings stay consistent; Wi-Fi and
// HD Audio detection, which touch registers only through a memory BAR.
#include <map>
#include <tuple>

#include "kernel/net/device_detect.h"
#include "kernel/net/intel/e1000.h"
#include "kernel/net/pci.h"
#include "kernel/net/realtek/rtl8139.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

// Device models just deep enough for the drivers' probe, send and receive paths.
struct FakePci {
  using Key = std::tuple<uint32_t, uint32_t, uint32_t>;
  std::map<Key, std::array<uint32_t, 64>> functions;
  uint32_t address = 0;

  void add(uint32_t bus, uint32_t slot, uint32_t fn, uint16_t vendor, uint16_t device, uint32_t bar0,
           uint32_t bar1 = 0, uint32_t header = 0) {
    functions[{bus, slot, fn}] = {static_cast<uint32_t>(device) << 16 | vendor, 0, 0x02000000, header << 16, bar0,
                                  bar1};
  }
  void install() {
    const auto find = [this] {
      return functions.find({(address >> 16) & 0xFF, (address >> 11) & 0x1F, (address >> 8) & 7});
    };
    fake_hw::add_port_device(
        {0xCF8, 0xCFF,
         [this, find](uint16_t port, int) -> uint32_t {
           if (port != 0xCFC) return 0;
           return find() == functions.end() ? 0xFFFFFFFF : find()->second[(address >> 2) & 63];
         },
         [this, find](uint16_t port, uint32_t value, int) {
           if (port == 0xCF8) address = value;
           if (port == 0xCFC && find() != functions.end()) find()->second[(address >> 2) & 63] = value;
         }});
  }
};

// Reset and EEPROM reads complete at once; the link bit follows `link`.
struct FakeE1000 {
  static constexpr uint64_t kBase = 0xFEBC0000;
  std::map<uint32_t, uint32_t> regs;
  std::array<uint16_t, 3> eeprom = {0x5452, 0x1200, 0x5634};
  std::vector<uint32_t> tdt_writes;
  uint32_t link = 1;

  void install() {
    fake_hw::add_mmio_device({kBase, kBase + 0x1FFFF,
                              [this](uint64_t a, int) -> uint32_t {
                                return a - kBase == 0x0008 ? link << 1 : regs[static_cast<uint32_t>(a - kBase)];
                              },
                              [this](uint64_t a, uint32_t v, int) {
                                const auto reg = static_cast<uint32_t>(a - kBase);
                                if (reg == 0x0000) v &= ~(1u << 26);
                                if (reg == 0x0014) v = static_cast<uint32_t>(eeprom.at((v >> 8) & 0xFF)) << 16 | 0x10;
                                if (reg == 0x3818) tdt_writes.push_back(v);
                                regs[reg] = v;
                              }});
  }
};

// Reset completes at once unless it `reset_sticks`; each transmit slot is
// handed back sent unless `tx_completes` is cleared. CBR reads `cbr`.
struct FakeRtl8139 {
  static constexpr uint16_t kBase = 0xC000;
  std::map<uint16_t, uint32_t> regs;
  uint8_t mac[6] = {0x52, 0x54, 0x00, 0xAB, 0xCD, 0xEF};
  uint16_t cbr = 0;
  bool reset_sticks = false;
  bool tx_completes = true;

  void install() {
    fake_hw::add_port_device({kBase, kBase + 0xFF,
                              [this](uint16_t port, int) -> uint32_t {
                                const auto reg = static_cast<uint16_t>(port - kBase);
                                if (reg < 6) return mac[reg];
                                if (reg == 0x3A) return cbr;
                                return reg == 0x37 && reset_sticks ? 0x10 : regs[reg];
                              },
                              [this](uint16_t port, uint32_t v, int) {
                                const auto reg = static_cast<uint16_t>(port - kBase);
                                if (reg == 0x37) v &= ~0x10u;
                                if (reg >= 0x10 && reg < 0x20 && tx_completes) v |= 0x2000 | 0x8000;
                                regs[reg] = v;
                              }});
    for (uint16_t n = 0; n < 4; ++n) regs[static_cast<uint16_t>(0x10 + 4 * n)] = 0x2000;
  }
};

constexpr uint32_t kMem = static_cast<uint32_t>(FakeE1000::kBase);
constexpr uint32_t kIo = FakeRtl8139::kBase | 1;
constexpr uint32_t kWindow = 0xF0000000;

class Nic : public ::testing::Test {
 protected:
  FakePci pci;
  FakeE1000 e1000;
  FakeRtl8139 rtl;
  std::map<uint32_t, uint32_t> regs;  // any other device's register window at kWindow; reads give the last write
  uint32_t writes = 0;
  u8 buf[2048] = {};
  void SetUp() override {
    TearDown();
    pci = FakePci{};
    e1000 = FakeE1000{};
    rtl = FakeRtl8139{};
    regs.clear();
    writes = 0;
    reset_network();
    device_detect_reset();
    pci.install();
    e1000.install();
    rtl.install();
    fake_hw::add_mmio_device({kWindow, kWindow + 0xFFFF, [this](uint64_t a, int) { return regs[a - kWindow]; },
                              [this](uint64_t a, uint32_t v, int) {
                                regs[a - kWindow] = v;
                                ++writes;
                              }});
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

// The tail may never be moved onto the head: the card would read a full ring as an empty one. On receive,
// status 1 = done, 2 = end of packet; a non-zero error byte marks a bad frame.
TEST_F(Nic, E1000KeepsOneTransmitDescriptorEmptyAndDropsBadAndSplitFramesGivingEveryDescriptorBack) {
  ASSERT_TRUE(up(0x100E));
  EXPECT_EQ(bytes(nic_mac, 6), bytes(kOurMac));  // from the EEPROM
  for (int i = 0; i < 31; ++i) ASSERT_EQ(nic_send_packet(buf, 60), 1u) << i;
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);
  EXPECT_EQ(e1000.tdt_writes.back(), 31u);  // one short of the head at 0
  tx_desc_ring[0].status = 1;  // the card finishes one
  EXPECT_EQ(nic_send_packet(buf, 60), 1u);
  EXPECT_EQ(e1000.tdt_writes.back(), 0u);  // wrapped
  EXPECT_EQ(nic_send_packet(buf, 60), 0u);
  EXPECT_EQ(nic_send_packet(buf, 0), 0u);
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
  SetUp();
  e1000.regs[0x5400] = 0x12005452;  // the MAC in the receive address registers
  e1000.regs[0x5404] = 0x80005634;
  e1000.eeprom = {};
  ASSERT_TRUE(up(0x100E));
  EXPECT_EQ(bytes(nic_mac, 6), bytes(kOurMac));
}

// A length no frame can have means the reader lost the frame boundaries: the receiver restarts and reading resumes
// where the card writes next. Short frames go out padded with zeros; a slot the card never sends is given up.
TEST_F(Nic, Rtl8139ReadsWholeFramesRestartsOnABadHeaderAndSendsPaddedFrames) {
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

TEST_F(Nic, EachWifiAdapterTypeIsWokenOnlyThroughAMemoryBarAndAnAudioControllerIsTakenThroughAReset) {
  wifi_startup();
  EXPECT_TRUE(logged("[WiFi] No Wi-Fi adapter found\n"));
  EXPECT_EQ(wifi_adapter.type | scan_result_count | writes, 0u);
  pci.add(0, 27, 0, 0x8086, 0x293E, kWindow | 0x4);
  hda_detect();
  EXPECT_EQ((std::vector<u32>{hda_ok, hda_bar0, writes}), (std::vector<u32>{1, kWindow, 2}));
  // Vendor, device, BAR 0, whether status bit 31 answers (the Intel types read it), the type found, the log line.
  const std::tuple<uint16_t, uint16_t, uint32_t, bool, uint32_t, const char*> cases[] = {
      {0x8086, 0x24F3, 0xC001, true, 1, "[WiFi] Adapter has no memory BAR\n"},  // I/O space
      {0x0BDA, 0x8812, kWindow, true, 5, "[WiFi] Unsupported Wi-Fi adapter type\n"},
      {0x8086, 0x24FD, kWindow, false, 2, "[WiFi] Intel adapter not responding\n"},
      {0x8086, 0x2526, kWindow, true, 3, "[WiFi] Intel adapter initialized\n"},
      {0x10EC, 0xC821, kWindow, false, 4, "[WiFi] Realtek adapter initialized\n"},
      {0x8086, 0x24F3, kWindow | 4, true, 1, "[WiFi] Intel adapter initialized\n"},  // sends through the Intel window
  };
  for (const auto& [vendor, device, bar0, answers, type, line] : cases) {
    SCOPED_TRACE(line);
    SetUp();
    pci.add(1, 4, 0, vendor, device, bar0, 0xE000000C);
    if (answers) regs[0] = 0x80000000;
    wifi_startup();
    EXPECT_EQ(wifi_adapter.type, type);
    EXPECT_EQ(wifi_adapter.bar1, 0xE0000000u);
    EXPECT_TRUE(logged(line));
    EXPECT_EQ(writes > 0, type != 5 && bar0 != 0xC001);
    EXPECT_EQ(scan_result_count, std::string(line).find("initialized") != std::string::npos ? 3u : 0u);
  }
}

}  // namespace
}  // namespace tavlin::nettest
