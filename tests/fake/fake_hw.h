// The host build's hardware: records port writes, plays back scripted reads, takes device models for port and
// MMIO ranges. Halting ticks the timer unless a hook says otherwise; a controller reset or a final halt throws,
// so code that never returns on the machine can be driven to its end.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace fake_hw {

struct PortWrite {
  uint16_t port;
  uint32_t value;
  int width;  // 1, 2 or 4 bytes
  bool operator==(const PortWrite&) const = default;
};

struct MachineReset {};   // thrown by the 8042 pulse-reset command
struct HaltedForever {};  // thrown by halt_forever()

// A device model answers reads and sees writes for the ports or MMIO addresses [first, last].
template <typename Address>
struct Device {
  Address first, last;
  std::function<uint32_t(Address address, int width)> read;
  std::function<void(Address address, uint32_t value, int width)> write;
};
using PortDevice = Device<uint16_t>;
using MmioDevice = Device<uint64_t>;

void reset();  // forgets writes, scripts, defaults (but the UART ready to send), devices and hooks
// Reads of `port` return these values in order, then the port's default (0 unless set).
void script_reads(uint16_t port, std::vector<uint32_t> values);
void set_default(uint16_t port, uint32_t value);
void add_port_device(PortDevice device);
void add_mmio_device(MmioDevice device);

const std::vector<PortWrite>& writes();
std::vector<PortWrite> writes_to(uint16_t port);
void clear_writes();
std::vector<uint8_t> bytes_written_to(uint16_t port);  // e.g. the serial data register's bytes

void set_halt_hook(std::function<void()> hook);  // called by hw::halt() in place of the tick
int halt_count();
bool interrupts_enabled();

}  // namespace fake_hw
