// Decoding a program before it runs, and the operand reader of the state.
#include "kernel/script/vm_decode.h"

#include "kernel/script/vm_parts.h"

namespace tavlin::vm {

Decoded decoded[kVmMaxCode];

namespace {

constexpr u32 kOperandSize = 4;

constexpr bool has_operand(u8 op) {
  return op == kPush || op == kJmp || op == kJz || op == kJnz || op == kNop4 || op == kLoad || op == kStore ||
         op == kSyscall;
}

Decoded decode_at(const VmState& vm, i32 at) {
  const u8 op = vm.code[at];
  if (op >= kOpcodeCount) return Decoded{kBroken, -1, -1, 1};
  if (!has_operand(op)) return Decoded{op, -1, -1, 0};
  // The operand's last byte must lie inside the code.
  if (static_cast<i64>(at) + kOperandSize >= vm.code_len) return Decoded{kBroken, -1, -1, 1};
  const i32 operand = read_be32(vm.code + at + 1);
  if (op != kSyscall) return Decoded{op, -1, -1, operand};
  const i32 index = syscall_select(operand);
  if (index < 0) return Decoded{kBroken, -1, -1, 1 + kOperandSize};
  return Decoded{op, -1, -1, index};
}

}  // namespace

void decode_program(const VmState& vm) {
  for (i32 at = 0; at < vm.code_len; ++at) decoded[at] = decode_at(vm, at);
}

}  // namespace tavlin::vm

namespace tavlin {

i32 vm_read_int(VmState& vm) {
  if (!vm.code || vm.pc < 0 || static_cast<i64>(vm.pc) + 3 >= vm.code_len) {
    vm.error = kVmBadCode;
    return 0;
  }
  const i32 value = vm::read_be32(vm.code + vm.pc);
  vm.pc += 4;
  return value;
}

}  // namespace tavlin
