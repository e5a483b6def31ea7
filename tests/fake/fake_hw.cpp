// The fake hardware layer behind kernel/arch/hw.h for the host build.
#include "fake/fake_hw.h"

#include "kernel/arch/hw.h"
#include "kernel/core/timer.h"

namespace fake_hw {
namespace {

struct State {
  std::vector<PortWrite> writes;
  std::map<uint16_t, std::deque<uint32_t>> scripted;
  std::map<uint16_t, uint32_t> defaults{{0x3FD, 0x20}};  // the UART is always ready: logging costs nothing
  std::vector<PortDevice> ports;
  std::vector<MmioDevice> mmio;
  std::function<void()> halt_hook;
  int halts = 0;
  bool interrupts = false;
};

State& state() {
  static State s;
  return s;
}

uint32_t port_read(uint16_t port, int width) {
  State& s = state();
  for (auto& d : s.ports)
    if (port >= d.first && port <= d.last && d.read) return d.read(port, width);
  auto& script = s.scripted[port];
  if (script.empty()) return s.defaults[port];
  const uint32_t v = script.front();
  script.pop_front();
  return v;
}

void port_write(uint16_t port, uint32_t value, int width) {
  State& s = state();
  s.writes.push_back({port, value, width});
  for (auto& d : s.ports)
    if (port >= d.first && port <= d.last && d.write) d.write(port, value, width);
  if (port == 0x64 && width == 1 && value == 0xFE) throw MachineReset{};
}

// A device model's register, or plain memory where no model claims the address.
template <typename T>
T mmio_read(tavlin::uptr address) {
  for (auto& d : state().mmio)
    if (address >= d.first && address <= d.last) return static_cast<T>(d.read(address, sizeof(T)));
  return *reinterpret_cast<volatile T*>(address);
}

template <typename T>
void mmio_write(tavlin::uptr address, T value) {
  for (auto& d : state().mmio)
    if (address >= d.first && address <= d.last) return d.write(address, value, sizeof(T));
  *reinterpret_cast<volatile T*>(address) = value;
}

}  // namespace

void reset() { state() = State{}; }
void script_reads(uint16_t port, std::vector<uint32_t> values) {
  auto& q = state().scripted[port];
  q.insert(q.end(), values.begin(), values.end());
}
void set_default(uint16_t port, uint32_t value) { state().defaults[port] = value; }
void add_port_device(PortDevice device) { state().ports.push_back(std::move(device)); }
void add_mmio_device(MmioDevice device) { state().mmio.push_back(std::move(device)); }
const std::vector<PortWrite>& writes() { return state().writes; }
std::vector<PortWrite> writes_to(uint16_t port) {
  std::vector<PortWrite> out;
  for (auto& w : state().writes)
    if (w.port == port) out.push_back(w);
  return out;
}
void clear_writes() { state().writes.clear(); }
std::vector<uint8_t> bytes_written_to(uint16_t port) {
  std::vector<uint8_t> out;
  for (auto& w : writes_to(port)) out.push_back(static_cast<uint8_t>(w.value));
  return out;
}
void set_halt_hook(std::function<void()> hook) { state().halt_hook = std::move(hook); }
int halt_count() { return state().halts; }
bool interrupts_enabled() { return state().interrupts; }

}  // namespace fake_hw

namespace tavlin::hw {

u8 inb(u16 port) { return static_cast<u8>(fake_hw::port_read(port, 1)); }
u16 inw(u16 port) { return static_cast<u16>(fake_hw::port_read(port, 2)); }
u32 inl(u16 port) { return fake_hw::port_read(port, 4); }
void outb(u16 port, u8 value) { fake_hw::port_write(port, value, 1); }
void outw(u16 port, u16 value) { fake_hw::port_write(port, value, 2); }
void outl(u16 port, u32 value) { fake_hw::port_write(port, value, 4); }

u32 mmio_read32(uptr a) { return fake_hw::mmio_read<u32>(a); }
void mmio_write32(uptr a, u32 v) { fake_hw::mmio_write<u32>(a, v); }
u16 mmio_read16(uptr a) { return fake_hw::mmio_read<u16>(a); }
void mmio_write16(uptr a, u16 v) { fake_hw::mmio_write<u16>(a, v); }
u8 mmio_read8(uptr a) { return fake_hw::mmio_read<u8>(a); }
void mmio_write8(uptr a, u8 v) { fake_hw::mmio_write<u8>(a, v); }

u32 phys_addr(const void* p) { return static_cast<u32>(reinterpret_cast<uptr>(p)); }

void cli() { fake_hw::state().interrupts = false; }
void sti() { fake_hw::state().interrupts = true; }
void halt() {
  auto& s = fake_hw::state();
  ++s.halts;
  if (s.halt_hook)
    s.halt_hook();
  else
    pit_ticks = pit_ticks + 1;
}
void halt_forever() { throw fake_hw::HaltedForever{}; }
void load_gdt(const void*) {}
void load_idt(const void*) {}
uptr isr_stub_address(u32 vector) { return 0x1000 + vector * 16; }

}  // namespace tavlin::hw
