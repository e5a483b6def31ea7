// Wi-Fi and HD Audio detection against fake PCI devices: which adapter is
// taken, that registers are touched only through a memory BAR, and the scan.
#include "fake_devices.h"
#include "kernel/net/device_detect.h"
#include "net_fixture.h"

namespace tavlin::nettest {
namespace {

constexpr uint32_t kBase = 0xF0000000;

class DeviceDetect : public ::testing::Test {
 protected:
  FakePci pci;
  std::map<uint32_t, uint32_t> regs;  // one register window at kBase; reads give the last write
  uint32_t writes = 0;
  void SetUp() override {
    pci = FakePci{};
    regs.clear();
    writes = 0;
    reset_network();
    device_detect_reset();
    pci.install();
    fake_hw::add_mmio_device({kBase, kBase + 0xFFFF, [this](uint64_t a, int) { return regs[a - kBase]; },
                              [this](uint64_t a, uint32_t v, int) {
                                regs[a - kBase] = v;
                                ++writes;
                              }});
  }
};

TEST_F(DeviceDetect, AnEmptyBusHasNoWifiAdapterAndAnAudioControllerIsTakenThroughAResetAndOutAgain) {
  wifi_startup();
  EXPECT_TRUE(logged("[WiFi] No Wi-Fi adapter found\n"));
  EXPECT_EQ(wifi_adapter.type | scan_result_count | writes, 0u);
  pci.add(0, 27, 0, 0x8086, 0x293E, kBase | 0x4);
  hda_detect();
  EXPECT_EQ((std::vector<u32>{hda_ok, hda_bar0, writes}), (std::vector<u32>{1, kBase, 2}));
}

TEST_F(DeviceDetect, EachAdapterTypeIsWokenOnlyThroughAMemoryBar) {
  // Vendor, device, BAR 0, whether status bit 31 answers (the Intel types read it), the type found, the log line.
  const std::tuple<uint16_t, uint16_t, uint32_t, bool, uint32_t, const char*> cases[] = {
      {0x8086, 0x24F3, 0xC001, true, 1, "[WiFi] Adapter has no memory BAR\n"},  // I/O space
      {0x0BDA, 0x8812, kBase, true, 5, "[WiFi] Unsupported Wi-Fi adapter type\n"},
      {0x8086, 0x24FD, kBase, false, 2, "[WiFi] Intel adapter not responding\n"},
      {0x8086, 0x2526, kBase, true, 3, "[WiFi] Intel adapter initialized\n"},
      {0x10EC, 0xC821, kBase, false, 4, "[WiFi] Realtek adapter initialized\n"},
      {0x8086, 0x24F3, kBase | 4, true, 1, "[WiFi] Intel adapter initialized\n"},
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
