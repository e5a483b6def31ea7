// The bytecode machine's run loop: a stack machine over wrapping 32-bit
// integers. It runs inside the command that started it, so every few
// thousand instructions it looks for Ctrl+C, the user's only way out of a
// program that never ends.
#include "kernel/script/vm.h"

#include "kernel/core/kstring.h"
#include "kernel/script/vm_decode.h"
#include "kernel/script/vm_parts.h"

namespace tavlin {
namespace {

using vm::Decoded;
using vm::decoded;

constexpr u32 kPollEvery = 4096;  // instructions between looks at the keyboard
constexpr u64 kUnbounded = ~0ull;

// "var" and the id in decimal: the variable's name as the state keeps it.
void var_name(i32 id, char* out) {
  char digits[12];
  int_to_str(id, digits, 1);
  str_copy(out, "var", kVmVarNameCap);
  str_cat(out, digits);
}

i32 find_var(const VmState& vm, i32 id) {
  char name[kVmVarNameCap];
  var_name(id, name);
  for (i32 i = 0; i < vm.var_count; ++i)
    if (str_eq(vm.var_names[i], name)) return i;
  return -1;
}

i32 create_var(VmState& vm, i32 id) {
  if (vm.var_count >= kVmMaxVars) return -1;
  const i32 slot = vm.var_count;
  var_name(id, vm.var_names[slot]);
  vm.var_values[slot] = 0;
  vm.var_count = slot + 1;
  return slot;
}

// A variable's value; a site remembers the slot it found, or that the
// variable was missing while the table still had that many entries.
i32 load_var(VmState& vm, Decoded& d) {
  if (d.var_slot >= 0) return vm.var_values[d.var_slot];
  if (d.missing_at == vm.var_count) return 0;
  const i32 slot = find_var(vm, d.arg);
  if (slot < 0) {
    d.missing_at = static_cast<i16>(vm.var_count);
    return 0;
  }
  d.var_slot = static_cast<i16>(slot);
  return vm.var_values[slot];
}

void store_var(VmState& vm, Decoded& d, i32 value) {
  if (d.var_slot < 0) {
    i32 slot = find_var(vm, d.arg);
    if (slot < 0) slot = create_var(vm, d.arg);
    if (slot < 0) return;  // the table is full: the value is dropped
    d.var_slot = static_cast<i16>(slot);
  }
  vm.var_values[d.var_slot] = value;
}

i32 divide(i32 a, i32 b) {
  if (b == 0) return 0;
  // The most negative value over -1 has no 32-bit quotient: it stays put.
  if (b == -1) return static_cast<i32>(0u - static_cast<u32>(a));
  return a / b;
}

i32 binary(u8 op, i32 a, i32 b) {
  const u32 ua = static_cast<u32>(a), ub = static_cast<u32>(b);
  switch (op) {
    case vm::kAdd: return static_cast<i32>(ua + ub);
    case vm::kSub: return static_cast<i32>(ua - ub);
    case vm::kMul: return static_cast<i32>(ua * ub);
    case vm::kDiv: return divide(a, b);
    case vm::kCmp: return a > b ? 1 : (a < b ? -1 : 0);
    case vm::kLt: return a < b;
    case vm::kGt: return a > b;
    case vm::kEq: return a == b;
    case vm::kNe: return a != b;
    case vm::kAnd: return a != 0 && b != 0;
    default: return a != 0 || b != 0;  // kOr
  }
}

// Pops the call's arguments (missing ones count as 0), runs it and pushes
// its result unless it failed.
void system_call(VmState& vm, i32 index) {
  const vm::Syscall& s = vm::syscalls[index];
  vm::Call call{vm, {0, 0, 0, 0, 0}, 0};
  const i32 n = static_cast<i32>(s.arg_count);
  const i32 have = vm.sp < n ? vm.sp : n;
  for (i32 k = 0; k < have; ++k) call.arg[n - 1 - k] = vm.stack[vm.sp - 1 - k];
  vm.sp -= have;
  const i32 result = s.run(call);
  if (vm.error != kVmOk) return;
  if (call.keep_first_arg && vm.sp < kVmStackSize) vm.stack[vm.sp++] = call.arg[0];
  if (vm.sp < kVmStackSize) vm.stack[vm.sp++] = result;
}

// A state that did not come from vm_load may hold anything; keep every
// index the loop uses inside its table.
bool sane(VmState& vm) {
  if (vm.sp < 0) vm.sp = 0;
  if (vm.sp > kVmStackSize) vm.sp = kVmStackSize;
  if (vm.var_count < 0) vm.var_count = 0;
  if (vm.var_count > kVmMaxVars) vm.var_count = kVmMaxVars;
  if (vm.code_len > kVmMaxCode || (vm.code_len > 0 && !vm.code)) {
    vm.error = kVmBadCode;
    vm.running = 0;
    return false;
  }
  return true;
}

// Where a run stands between instructions: pc and sp live in registers and
// go back into the state whenever anything else may look at it.
struct Cursor {
  i32 pc, sp;
  void save(VmState& vm) const {
    vm.pc = pc;
    vm.sp = sp;
  }
  void restore(const VmState& vm) {
    pc = vm.pc;
    sp = vm.sp;
  }
};

// Executes one instruction (at c.pc, inside the code); false when the
// program stopped.
inline bool step(VmState& vm, Cursor& c, Decoded& d) {
  i32* const stack = vm.stack;
  switch (d.op) {
    case vm::kPush:
      if (c.sp < kVmStackSize) stack[c.sp++] = d.arg;
      c.pc += 5;
      return true;
    case vm::kLoad: {
      const i32 value = load_var(vm, d);
      if (c.sp < kVmStackSize) stack[c.sp++] = value;
      c.pc += 5;
      return true;
    }
    case vm::kStore:
      if (c.sp > 0) store_var(vm, d, stack[--c.sp]);
      c.pc += 5;
      return true;
    case vm::kJmp: c.pc = d.arg; return true;
    case vm::kJz:
    case vm::kJnz:
      c.pc += 5;
      if (c.sp > 0 && (stack[--c.sp] == 0) == (d.op == vm::kJz)) c.pc = d.arg;
      return true;
    case vm::kNop: c.pc += 1; return true;
    case vm::kNop4: c.pc += 5; return true;
    case vm::kPop:
      if (c.sp > 0) --c.sp;
      c.pc += 1;
      return true;
    case vm::kNot:
      if (c.sp > 0) stack[c.sp - 1] = stack[c.sp - 1] == 0;
      c.pc += 1;
      return true;
    case vm::kHalt:
    case vm::kHaltToo:
      c.pc += 1;
      vm.running = 0;
      return false;
    case vm::kSyscall:
      c.pc += 5;
      c.save(vm);
      system_call(vm, d.arg);
      c.restore(vm);
      return vm.error == kVmOk;
    case vm::kBroken:
      c.pc += d.arg;
      vm.error = kVmBadCode;
      return false;
    default:  // the two-operand operations
      if (c.sp >= 2) {
        stack[c.sp - 2] = binary(d.op, stack[c.sp - 2], stack[c.sp - 1]);
        --c.sp;
      }
      c.pc += 1;
      return true;
  }
}

void run(VmState& vm, u64 max_steps) {
  if (!vm.running || !sane(vm)) return;
  vm::sandbox_bind(vm);
  vm::decode_program(vm);
  const u32 code_len = static_cast<u32>(vm.code_len);
  u64 left = max_steps;
  u32 chunk = left < kPollEvery ? static_cast<u32>(left) : kPollEvery;
  u32 countdown = chunk;
  Cursor c{vm.pc, vm.sp};
  // A jump to a negative target ends the run here too, as a huge unsigned pc.
  while (static_cast<u32>(c.pc) < code_len) {
    if (countdown == 0) {
      c.save(vm);
      if (vm::interrupt_requested()) return vm::stop_interrupted(vm);
      left -= chunk;
      if (left == 0) return;
      chunk = left < kPollEvery ? static_cast<u32>(left) : kPollEvery;
      countdown = chunk;
    }
    --countdown;
    if (!step(vm, c, decoded[c.pc])) break;
  }
  c.save(vm);
  if (vm.error != kVmOk) vm.running = 0;
}

}  // namespace

void vm_load(VmState& vm, const u8* code, i32 code_len) {
  memset(&vm, 0, sizeof vm);
  vm.code = code;
  vm.code_len = code_len;
  vm.running = 1;
  vm.error = kVmOk;
  vm::sandbox_reset(vm);
}

void vm_execute(VmState& vm) { run(vm, kUnbounded); }

void vm_execute_for(VmState& vm, u64 max_steps) {
  if (max_steps > 0) run(vm, max_steps);
}

}  // namespace tavlin
