// The program's code decoded once per run, at every byte offset (a jump may
// land anywhere), so the run loop never re-reads operands or searches the
// call table, and remembers where each LOAD and STORE found its variable.
#pragma once
#include "kernel/core/types.h"
#include "kernel/script/vm.h"

namespace tavlin::vm {

enum Opcode : u8 {
  kNop = 0, kPush, kPop, kAdd, kSub, kMul, kDiv, kJmp, kJz, kJnz, kNop4, kHalt, kLoad, kStore, kSyscall,
  kHaltToo, kCmp, kLt, kGt, kEq, kNe, kAnd, kOr, kNot,
  kOpcodeCount,
  // Not an opcode: an instruction that stops the program with error -6
  // (unknown opcode, operand cut off by the end, unknown system call).
  kBroken = kOpcodeCount,
};

struct Decoded {
  u8 op;
  i16 var_slot;    // LOAD, STORE: the variable's index once found, else -1
  i16 missing_at;  // LOAD: var_count when the variable was last found missing
  i32 arg;         // the operand; SYSCALL: table index; kBroken: bytes it spans
};

extern Decoded decoded[kVmMaxCode];

// Decodes vm.code[0, code_len); code_len must be at most kVmMaxCode.
void decode_program(const VmState& vm);

// The big-endian 32-bit value at p.
inline i32 read_be32(const u8* p) {
  return static_cast<i32>((static_cast<u32>(p[0]) << 24) | (static_cast<u32>(p[1]) << 16) |
                          (static_cast<u32>(p[2]) << 8) | p[3]);
}

}  // namespace tavlin::vm
