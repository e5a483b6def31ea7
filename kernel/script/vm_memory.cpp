// The running program's memory: its code (read only) and a 64 KiB scratch
// area, reached only through program addresses. Programs never see a
// system address, so no argument can lead a call into the kernel's tables.
#include "kernel/core/kstring.h"
#include "kernel/script/vm_parts.h"

namespace tavlin::vm {
namespace {

u8 scratch[kVmScratchSize];
// The state the scratch area currently belongs to; one program runs at a time.
const VmState* owner;

struct Area {
  const u8* bytes;
  u32 size;
  bool writable;
};

// The area holding the program address and the offset into it.
bool find_area(const VmState& vm, u32 address, Area& area, u32& offset) {
  if (address < kVmFirstAddress || address > kVmLastAddress) return false;
  const u32 code_len = vm.code && vm.code_len > 0 ? static_cast<u32>(vm.code_len) : 0;
  if (address - kVmCodeBase < code_len) {
    area = Area{vm.code, code_len, false};
    offset = address - kVmCodeBase;
    return true;
  }
  if (address - kVmScratchBase < kVmScratchSize) {
    area = Area{scratch, kVmScratchSize, true};
    offset = address - kVmScratchBase;
    return true;
  }
  return false;
}

template <typename T>
T* refuse(VmState& vm) {
  vm.error = kVmBadAddress;
  return nullptr;
}

// The first byte of a span of `length` bytes (at least the byte at the
// address itself) inside one area.
const u8* span(VmState& vm, u32 address, u32 length, bool for_writing) {
  Area area;
  u32 offset;
  if (!find_area(vm, address, area, offset)) return refuse<const u8>(vm);
  if (for_writing && !area.writable) return refuse<const u8>(vm);
  if (length > area.size - offset) return refuse<const u8>(vm);
  return area.bytes + offset;
}

}  // namespace

void sandbox_reset(const VmState& vm) {
  memset(scratch, 0, sizeof scratch);
  program_windows_forget();
  owner = &vm;
}

void sandbox_bind(const VmState& vm) {
  if (owner != &vm) sandbox_reset(vm);
}

const char* text_at(VmState& vm, u32 address) {
  Area area;
  u32 offset;
  if (!find_area(vm, address, area, offset)) return refuse<const char>(vm);
  for (u32 i = offset; i < area.size; ++i)
    if (area.bytes[i] == 0) return reinterpret_cast<const char*>(area.bytes + offset);
  return refuse<const char>(vm);  // runs past the end of its area
}

const u8* read_span(VmState& vm, u32 address, u32 length) { return span(vm, address, length, false); }

u8* write_span(VmState& vm, u32 address, u32 length) {
  // Only the scratch area is writable, and span() has checked that it is there.
  return const_cast<u8*>(span(vm, address, length, true));
}

u8* out_buffer(Call& c, i32 index, i32 max, u32 unit, u32 most) {
  const u32 count = max < 1 ? 0 : (static_cast<u32>(max) < most ? static_cast<u32>(max) : most);
  return write_span(c.vm, address_arg(c, index), count * unit);
}

u32 scratch_address(const u8* p) { return kVmScratchBase + static_cast<u32>(p - scratch); }

u8* name_slot(u32 index) {
  return scratch + kVmScratchSize - kNameSlots * kNameSlotSize + (index % kNameSlots) * kNameSlotSize;
}

}  // namespace tavlin::vm
