// Wi-Fi and HD Audio detection against fake PCI devices: which adapter is
// taken, the register writes each type's start-up makes, the test frame,
// the scan list, the audio reset, and the log lines.
#include "fake_devices.h"
#include "kernel/net/device_detect.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

constexpr uint32_t kBase = 0xF0000000;
using Writes = std::vector<std::pair<uint32_t, uint32_t>>;  // register offset, value

class DeviceDetect : public ::testing::Test {
 protected:
  FakePci pci;
  std::map<uint32_t, uint32_t> regs;  // one register window at kBase; reads give the last write
  Writes writes;
  void SetUp() override {
    pci = FakePci{};
    regs.clear();
    writes.clear();
    reset_network();
    device_detect_reset();
    pci.install();
    fake_hw::add_mmio_device({kBase, kBase + 0xFFFF, [this](uint64_t a, int) { return regs[a - kBase]; },
                              [this](uint64_t a, uint32_t v, int) {
                                regs[a - kBase] = v;
                                if (a - kBase < 0x800 || a - kBase >= 0x1100) writes.push_back({a - kBase, v});
                              }});
  }
  Bytes frame_at(uint32_t offset) {
    Bytes out;
    for (uint32_t i = 0; i < 26; ++i) out.push_back(static_cast<uint8_t>(regs[offset + i]));
    return out;
  }
};

// The scan's frame: frame control, no duration, broadcast destination, the
// adapter's MAC, broadcast BSSID, sequence and field zero.
Bytes probe_frame(uint8_t mac_byte) {
  Bytes f = {0x48, 0x01, 0, 0};
  f.insert(f.end(), 6, 0xFF);
  f.insert(f.end(), 6, mac_byte);
  f.insert(f.end(), 6, 0xFF);
  f.insert(f.end(), 4, 0);
  return f;
}

TEST_F(DeviceDetect, AnEmptyBusFindsNeitherDevice) {
  wifi_startup();
  hda_detect();
  EXPECT_TRUE(logged("[WiFi] No Wi-Fi adapter found\n"));
  EXPECT_TRUE(logged("[HDA] No Intel HD Audio found\n"));
  EXPECT_EQ(serial_log().find("Scanning"), std::string::npos);
  EXPECT_EQ((std::vector<uint32_t>{wifi_adapter.type, wifi_adapter.bar0, scan_result_count, hda_ok}),
            (std::vector<uint32_t>{0, 0, 0, 0}));
  EXPECT_TRUE(writes.empty());
}

TEST_F(DeviceDetect, EachAdapterTypeIsWokenAsItsKindNeeds) {
  const struct Case {
    uint16_t vendor, device;
    uint32_t bar0;
    bool answers;  // status bit 31, read by the Intel types
    uint32_t type, initialised;
    const char* line;
    Writes pokes;       // outside the transmit windows, in order
    uint32_t frame_at;  // 0: no frame
  } cases[] = {  // the last one leaves its scan for the checks below
      {0x8086, 0x24F3, 0xC001, true, 1, 0, "[WiFi] Adapter has no memory BAR\n", {}, 0},  // I/O space: untouched
      {0x0BDA, 0x8812, kBase, true, 5, 0, "[WiFi] Unsupported Wi-Fi adapter type\n", {}, 0},
      {0x8086, 0x24FD, kBase, false, 2, 0, "[WiFi] Intel adapter not responding\n", {{0x44, 1}, {0x0C, 0xFFFFFFFF}}, 0},
      {0x8086, 0x2526, kBase, true, 3, 1, "[WiFi] Intel adapter initialized\n", {{0x44, 1}, {0x0C, 0xFFFFFFFF}}, 0x1000},
      {0x10EC, 0xC821, kBase, false, 4, 1, "[WiFi] Realtek adapter initialized\n",
       {{0x400, 1}, {0x400, 2}, {0x1C4, 26}, {0x1C0, 1}}, 0x800},
      {0x8086, 0x24F3, kBase | 4, true, 1, 1, "[WiFi] Intel adapter initialized\n",
       {{0x44, 1}, {0x0C, 0xFFFFFFFF}, {0x50C, 1}}, 0x1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SetUp();
    pci.add(0, 9, 0, 0x1234, 0x0001, 0);
    pci.add(1, 4, 0, c.vendor, c.device, c.bar0, 0xE000000C);
    if (c.answers) regs[0] = 0x80000000;
    wifi_startup();
    EXPECT_EQ((std::vector<uint32_t>{wifi_adapter.type, wifi_adapter.bus, wifi_adapter.slot, wifi_adapter.bar1,
                                     wifi_adapter.initialized, scan_result_count}),
              (std::vector<uint32_t>{c.type, 1, 4, 0xE0000000, c.initialised, c.initialised ? 3u : 0u}));
    EXPECT_EQ(pci.word(1, 4, 0, 4) & 0x6, 0x6u);  // memory and bus mastering on
    EXPECT_TRUE(logged(c.line));
    EXPECT_EQ(writes, c.pokes);
    if (c.frame_at) EXPECT_EQ(frame_at(c.frame_at), probe_frame(c.type == 4 ? 0 : 0x02));
  }
}

TEST_F(DeviceDetect, AudioControllerIsResetAndItsCapabilitiesLogged) {
  pci.add(0, 2, 0, 0x8086, 0x2669, kBase);  // not an HD Audio device
  pci.add(0, 27, 0, 0x8086, 0x293E, kBase | 0x4);
  regs[0] = 0x00004401;
  hda_detect();
  EXPECT_EQ((std::vector<uint32_t>{hda_ok, hda_bar0}), (std::vector<uint32_t>{1, kBase}));
  EXPECT_EQ(pci.word(0, 27, 0, 4) & 0x7, 0x7u);
  EXPECT_EQ(writes, (Writes{{0x08, 1}, {0x08, 0}}));
}

}  // namespace
}  // namespace tavlin::nettest
