// The bytecode machine's state for one loaded program, and the call that
// runs a program from its current position until it stops.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kVmStackSize = 64;
constexpr i32 kVmMaxVars = 128;
constexpr i32 kVmVarNameCap = 32;  // 31 characters and a NUL

// Values of `error`.
constexpr i32 kVmOk = 0;
constexpr i32 kVmBadAddress = -5;
constexpr i32 kVmBadCode = -6;

struct VmState {
  const u8* code;  // read in place from the program file's inline text
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

// Runs until the program halts, fails or runs off the end of its code; the
// caller reads `running` and `error` afterwards.
void vm_execute(VmState& vm);

}  // namespace tavlin
