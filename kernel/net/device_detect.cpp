// Wi-Fi adapter detection at start-up: the PCI search over the known
// adapters, the register pokes that wake each type, the one test frame and
// the fixed list of networks the scan records.
#include "kernel/net/device_detect.h"

#include "kernel/arch/hw.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/net/pci.h"

namespace tavlin {

const WifiId wifi_ids[kWifiIdCount] = {
    {0x8086, 0x24F3, 1}, {0x8086, 0x24FD, 2}, {0x8086, 0x2526, 3}, {0x10EC, 0xC821, 4}, {0x0BDA, 0x8812, 5},
};

WifiAdapter wifi_adapter;
ScanResult scan_results[kScanResultCap];
u32 scan_result_count;
u32 hda_ok;
u32 hda_bar0;
// In memory, so the settling loop is not optimised away.
volatile u32 settle_counter;

namespace {

constexpr u32 kTypeRealtek = 4;
constexpr u32 kTypeUnsupported = 5;
constexpr u32 kBarFlags = 0xF;
constexpr u32 kBarIoSpace = 1;
constexpr u32 kSettleSpins = 100000;
constexpr u32 kTxPolls = 100000;

// Intel registers, as offsets from BAR0.
constexpr u32 kIntelReset = 0x44;
constexpr u32 kIntelInterruptMask = 0x0C;
constexpr u32 kIntelStatus = 0x00;  // bit 31: the adapter answers
constexpr u32 kIntelTxControl = 0x50C;
constexpr u32 kIntelTxWindow = 0x1000;
// Realtek registers.
constexpr u32 kRealtekPower = 0x400;
constexpr u32 kRealtekTxControl = 0x1C0;
constexpr u32 kRealtekTxLength = 0x1C4;
constexpr u32 kRealtekTxWindow = 0x800;

constexpr u8 kBroadcast[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

struct KnownNetwork {
  const char* ssid;
  u32 channel;
  i32 signal_dbm;
  u32 security;
};
constexpr KnownNetwork kKnownNetworks[] = {
    {"Home WiFi", 6, -45, 3},
    {"Office Network", 1, -60, 3},
    {"Guest WiFi", 11, -70, 0},
};

uptr reg(u32 offset) { return static_cast<uptr>(wifi_adapter.bar0) + offset; }

// Polls a transmit control register until its busy bit clears, or gives up
// and sends anyway.
void wait_tx_idle(u32 control) {
  for (u32 i = 0; i < kTxPolls && (hw::mmio_read32(reg(control)) & 1); ++i) {
  }
}

void copy_frame(const u8* frame, u32 window) {
  for (u32 i = 0; i < kWifiFrameBytes; ++i) hw::mmio_write8(reg(window + i), frame[i]);
}

bool is_intel(u32 type) { return type >= 1 && type <= 3; }

void init_intel() {
  hw::mmio_write32(reg(kIntelReset), 1);
  device_settle();
  hw::mmio_write32(reg(kIntelInterruptMask), 0xFFFFFFFF);
  if (!(hw::mmio_read32(reg(kIntelStatus)) & 0x80000000u)) {
    serial_puts("[WiFi] Intel adapter not responding\n");
    return;
  }
  memset(wifi_adapter.mac, 0x02, sizeof wifi_adapter.mac);
  wifi_adapter.initialized = 1;
  serial_puts("[WiFi] Intel adapter initialized\n");
}

void init_realtek() {
  hw::mmio_write32(reg(kRealtekPower), 1);
  device_settle();
  hw::mmio_write32(reg(kRealtekPower), 2);
  wifi_adapter.initialized = 1;
  serial_puts("[WiFi] Realtek adapter initialized\n");
}

void init_by_type() {
  if (wifi_adapter.type == kTypeUnsupported) {
    serial_puts("[WiFi] Unsupported Wi-Fi adapter type\n");
    return;
  }
  // Registers are only touched through a memory BAR: an unassigned or I/O
  // BAR would turn the pokes into writes to low memory.
  if (wifi_adapter.bar0 == 0) {
    serial_puts("[WiFi] Adapter has no memory BAR\n");
    return;
  }
  if (is_intel(wifi_adapter.type))
    init_intel();
  else if (wifi_adapter.type == kTypeRealtek)
    init_realtek();
}

void record_network(const KnownNetwork& net, u32 index) {
  ScanResult& r = scan_results[scan_result_count];
  memset(&r, 0, sizeof r);
  // Locally administered addresses: these networks are not real stations.
  r.bssid[0] = 0x02;
  r.bssid[5] = static_cast<u8>(index + 1);
  str_copy(r.ssid, net.ssid, kSsidCap);
  r.channel = net.channel;
  r.signal_dbm = net.signal_dbm;
  r.security = net.security;
  scan_result_count = scan_result_count + 1;
}

void scan() {
  serial_puts("[WiFi] Ready\n");
  scan_result_count = 0;
  serial_puts("[WiFi] Scanning...\n");
  send_wifi_frame(kBroadcast, kBroadcast, 0);
  u32 index = 0;
  for (const KnownNetwork& net : kKnownNetworks) record_network(net, index++);
  serial_puts("[WiFi] Scan complete: ");
  serial_dec32(scan_result_count);
  serial_puts(" networks found\n");
}

const WifiId* known_adapter(u32 id) {
  for (const WifiId& known : wifi_ids)
    if ((id & 0xFFFF) == known.vendor && (id >> 16) == known.device) return &known;
  return nullptr;
}

void take_adapter(const WifiId& known, u32 bus, u32 slot) {
  const PciAddress where{bus, slot, 0};
  const u32 bar0 = pci_config_read32(bus, slot, 0, kPciBar0);
  wifi_adapter.type = known.type;
  wifi_adapter.bus = bus;
  wifi_adapter.slot = slot;
  wifi_adapter.function = 0;
  wifi_adapter.bar0 = bar0 & kBarIoSpace ? 0 : bar0 & ~kBarFlags;
  wifi_adapter.bar1 = pci_config_read32(bus, slot, 0, kPciBar1) & ~kBarFlags;
  pci_enable(where, kPciCommandMemory | kPciCommandBusMaster);
  serial_puts("[WiFi] Found adapter: ");
  serial_dec32(known.type);
  serial_puts(" at BAR0=0x");
  serial_hex32(wifi_adapter.bar0);
  serial_puts("\n");
}

}  // namespace

void device_settle() {
  settle_counter = 0;
  while (settle_counter < kSettleSpins) settle_counter = settle_counter + 1;
}

void device_detect_reset() {
  memset(&wifi_adapter, 0, sizeof wifi_adapter);
  memset(scan_results, 0, sizeof scan_results);
  scan_result_count = 0;
  hda_ok = 0;
  hda_bar0 = 0;
}

u32 detect_wifi_adapter() {
  for (u32 bus = 0; bus < kPciBuses; ++bus) {
    for (u32 slot = 0; slot < kPciSlots; ++slot) {
      const WifiId* known = known_adapter(pci_config_read32(bus, slot, 0, kPciVendorDevice));
      if (!known) continue;
      take_adapter(*known, bus, slot);
      return 1;
    }
  }
  serial_puts("[WiFi] No Wi-Fi adapter found\n");
  return 0;
}

void wifi_startup() {
  if (!detect_wifi_adapter()) return;
  init_by_type();
  if (wifi_adapter.initialized) scan();
}

void send_wifi_frame(const u8* addr1, const u8* addr3, u16 field) {
  if (wifi_adapter.bar0 == 0) return;
  u8 frame[kWifiFrameBytes] = {0x48, 0x01, 0, 0};  // frame control 0x0148, duration 0
  memcpy(frame + 4, addr1, 6);
  memcpy(frame + 10, wifi_adapter.mac, 6);
  memcpy(frame + 16, addr3, 6);
  frame[24] = static_cast<u8>(field);  // sequence control (22, 23) stays 0
  frame[25] = static_cast<u8>(field >> 8);
  const u32 type = wifi_adapter.type;
  if (type == 1 || type == 2) {
    wait_tx_idle(kIntelTxControl);
    copy_frame(frame, kIntelTxWindow);
    hw::mmio_write32(reg(kIntelTxControl), hw::mmio_read32(reg(kIntelTxControl)) | 1);
  } else if (type == kTypeRealtek) {
    wait_tx_idle(kRealtekTxControl);
    copy_frame(frame, kRealtekTxWindow);
    hw::mmio_write32(reg(kRealtekTxLength), kWifiFrameBytes);
    hw::mmio_write32(reg(kRealtekTxControl), hw::mmio_read32(reg(kRealtekTxControl)) | 1);
  } else {
    copy_frame(frame, kIntelTxWindow);
  }
}

}  // namespace tavlin
