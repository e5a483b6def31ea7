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

  void add(uint32_t bus, uint32_t slot, uint32_t fn, uint16_t vendor, uint16_t device,
           uint32_t bar0, uint32_t bar1 = 0, uint32_t header = 0) {
    auto& cfg = functions[{bus, slot, fn}];
    cfg.fill(0);
    cfg[0] = static_cast<uint32_t>(device) << 16 | vendor;
    cfg[2] = 0x02000000;
    cfg[3] = header << 16;
    cfg[4] = bar0;
    cfg[5] = bar1;
  }
  uint32_t& word(uint32_t bus, uint32_t slot, uint32_t fn, uint32_t offset) {
    return functions[{bus, slot, fn}][offset / 4];
  }
  void install() {
    fake_hw::add_port_device({0xCF8, 0xCFF,
                              [this](uint16_t port, int) -> uint32_t {
                                if (port != 0xCFC) return 0;
                                auto it = functions.find(key());
                                return it == functions.end() ? 0xFFFFFFFF
                                                             : it->second[(address >> 2) & 63];
                              },
                              [this](uint16_t port, uint32_t value, int) {
                                if (port == 0xCF8) address = value;
                                auto it = functions.find(key());
                                if (port == 0xCFC && it != functions.end())
                                  it->second[(address >> 2) & 63] = value;
                              }});
  }
  Key key() const { return {(address >> 16) & 0xFF, (address >> 11) & 0x1F, (address >> 8) & 7}; }
};

struct FakeE1000 {
  static constexpr uint64_t kBase = 0xFEBC0000;
  std::map<uint32_t, uint32_t> regs;
  std::array<uint16_t, 3> eeprom = {0x5452, 0x1200, 0x5634};
  std::vector<uint32_t> tdt_writes;
  uint32_t link = 1;

  void install() {
    fake_hw::add_mmio_device({kBase, kBase + 0x1FFFF,
                              [this](uint64_t a, int) -> uint32_t {
                                const uint32_t reg = static_cast<uint32_t>(a - kBase);
                                if (reg == 0x0008) return link ? 0x2 : 0;
                                return regs[reg];
                              },
                              [this](uint64_t a, uint32_t v, int) {
                                const uint32_t reg = static_cast<uint32_t>(a - kBase);
                                if (reg == 0x0000) v &= ~(1u << 26);  // reset completes at once
                                if (reg == 0x0014) {
                                  const uint32_t w = (v >> 8) & 0xFF;
                                  v = (w < 3 ? static_cast<uint32_t>(eeprom[w]) << 16 : 0) | 0x10;
                                }
                                if (reg == 0x3818) tdt_writes.push_back(v);
                                regs[reg] = v;
                              }});
  }
};

struct FakeRtl8139 {
  static constexpr uint16_t kBase = 0xC000;
  std::map<uint16_t, uint32_t> regs;
  uint8_t mac[6] = {0x52, 0x54, 0x00, 0xAB, 0xCD, 0xEF};
  uint16_t cbr = 0;
  std::vector<uint16_t> capr_writes;
  bool reset_sticks = false;
  bool tx_completes = true;

  void install() {
    fake_hw::add_port_device({kBase, kBase + 0xFF,
                              [this](uint16_t port, int) -> uint32_t {
                                const uint16_t reg = static_cast<uint16_t>(port - kBase);
                                if (reg < 6) return mac[reg];
                                if (reg == 0x3A) return cbr;
                                if (reg == 0x37) return reset_sticks ? 0x10 : regs[reg];
                                return regs[reg];
                              },
                              [this](uint16_t port, uint32_t v, int) {
                                const uint16_t reg = static_cast<uint16_t>(port - kBase);
                                if (reg == 0x37) v &= ~0x10u;  // reset completes at once
                                if (reg == 0x38) capr_writes.push_back(static_cast<uint16_t>(v));
                                if (reg >= 0x10 && reg < 0x20)  // TSDn: the card sends at once
                                  v = tx_completes ? (v | 0x2000 | 0x8000) : v;
                                regs[reg] = v;
                              }});
    for (uint16_t n = 0; n < 4; ++n) regs[static_cast<uint16_t>(0x10 + 4 * n)] = 0x2000;
  }
};

}  // namespace tavlin::nettest
