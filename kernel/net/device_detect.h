// Start-up detection of a Wi-Fi adapter and an HD Audio controller. Neither
// carries data afterwards: what was found is kept in the records below for
// the top bar's indicator and the serial log.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kWifiIdCount = 5;
constexpr u32 kScanResultCap = 32;
constexpr u32 kSsidCap = 33;  // 32 characters and a NUL
constexpr u32 kWifiFrameBytes = 26;

// Adapter types: 1..3 Intel, 4 Realtek, 5 known but not supported.
struct WifiId {
  u16 vendor, device;
  u32 type;
};
extern const WifiId wifi_ids[kWifiIdCount];

struct WifiAdapter {
  u32 type;  // 0 when no adapter was found
  u32 bus, slot, function;
  u32 bar0, bar1;  // low 4 bits cleared
  u8 mac[6];
  u32 initialized;
  u32 connected;  // no association is ever made, so this stays 0
  // The network joined and its signal in percent, for the top bar; empty
  // while not connected.
  char ssid[kSsidCap];
  u32 signal_percent;
};
static_assert(__builtin_offsetof(WifiAdapter, mac) == 24);
static_assert(__builtin_offsetof(WifiAdapter, initialized) == 32);
static_assert(__builtin_offsetof(WifiAdapter, connected) == 36);

struct ScanResult {
  u8 bssid[6];
  char ssid[kSsidCap];
  u32 channel;
  i32 signal_dbm;
  u32 security;
};
static_assert(__builtin_offsetof(ScanResult, channel) == 40);
static_assert(sizeof(ScanResult) == 52);

extern WifiAdapter wifi_adapter;
extern ScanResult scan_results[kScanResultCap];
extern u32 scan_result_count;
extern u32 hda_ok;
extern u32 hda_bar0;

// Busy-waits 100,000 iterations for a device to settle after a poke.
void device_settle();

// Clears every record and flag (tests; start-up finds them zero).
void device_detect_reset();

// 1 when an adapter from wifi_ids is found (wifi_adapter filled), else 0.
u32 detect_wifi_adapter();
// The start-up step: detection, the adapter's initialisation by type and,
// when it came up, the scan with its test frame.
void wifi_startup();
// Writes one 26-byte frame (to addr1, from the adapter, BSSID addr3, then
// the 2-byte field, little-endian) into the adapter's transmit window.
void send_wifi_frame(const u8* addr1, const u8* addr3, u16 field);

// Finds an Intel HD Audio controller, resets it and reads its capabilities.
void hda_detect();

}  // namespace tavlin
