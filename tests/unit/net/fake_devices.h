// Device models behind the fake hardware layer: a PCI configuration space,
// an e1000 register window and an RTL8139 port block, just deep enough for
// the drivers' probe, send and receive paths.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "fake/fake_hw.h"

namespace tavlin::nettest {

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

}  // namespace tavlin::nettest
