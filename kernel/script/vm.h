// The bytecode machine's state for one loaded program, and the calls that
// set a program up and run it from its current position until it stops.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kVmStackSize = 64;
constexpr i32 kVmMaxVars = 128;
constexpr i32 kVmVarNameCap = 32;  // 31 characters and a NUL
// The most code a program file can carry (511 bytes less the header), with
// room to spare; longer code is refused as a bad instruction.
constexpr i32 kVmMaxCode = 512;

// Values of `error`.
constexpr i32 kVmOk = 0;
constexpr i32 kVmBadAddress = -5;
constexpr i32 kVmBadCode = -6;
constexpr i32 kVmInterrupted = -7;  // Ctrl+C

struct VmState {
  const u8* code;  // the program's own copy of its bytecode
  i32 code_len;
  i32 pc;
  i32 stack[kVmStackSize];
  i32 sp;  // values on the stack; the top is stack[sp - 1]
  i32 var_values[kVmMaxVars];
  char var_names[kVmMaxVars][kVmVarNameCap];
  i32 var_count;
  u32 running;
  i32 error;
};
static_assert(sizeof(void*) != 4 || sizeof(VmState) == 4892);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(VmState, stack) == 12);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(VmState, var_names) == 784);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(VmState, running) == 4884);

// Program addresses: byte i of the code at kVmCodeBase + i (read only), the
// program's scratch memory at kVmScratchBase (read and write). Every address
// argument must also lie in [kVmFirstAddress, kVmLastAddress].
constexpr u32 kVmCodeBase = 0x1000;
constexpr u32 kVmScratchBase = 0x00100000;
constexpr u32 kVmScratchSize = 64 * 1024;
constexpr u32 kVmFirstAddress = 0x1001;
constexpr u32 kVmLastAddress = 0x0FFFFFFF;

// Starts a program afresh on `code` (code_len bytes, which the caller keeps
// unchanged while the program lives): clear stack and variables, pc 0,
// running, a zeroed scratch area, no windows of its own yet.
void vm_load(VmState& vm, const u8* code, i32 code_len);

// Runs until the program halts, fails, runs off the end of its code or is
// stopped by Ctrl+C; the caller reads `running` and `error` afterwards.
void vm_execute(VmState& vm);

// As vm_execute, but returns (still running) after about max_steps
// instructions, so tests and fuzzing can bound endless programs.
void vm_execute_for(VmState& vm, u64 max_steps);

// Reads the big-endian operand at pc and moves pc past it; with fewer than
// four bytes left, sets error -6 and yields 0.
i32 vm_read_int(VmState& vm);

}  // namespace tavlin
