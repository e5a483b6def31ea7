// The machine's instructions: arithmetic and comparisons with their edge
// cases, the stack's bounds, variables, jumps, the ways a run ends, and
// Ctrl+C stopping a program that would never end.
#include <climits>
#include <cstdio>

#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

using Vm = VmTest;

TEST_F(Vm, InstructionsLeaveTheirResultsOnTheStackAndCtrlCStopsEndlessLoopsAndSleepsDroppingQueuedKeys) {
  const std::tuple<const char*, Ints, i32, u32> cases[] = {  // source; then the stack, error and running flag
      {"PUSH 7\nPUSH 2\nSUB\nPUSH -7\nPUSH 2\nDIV\nPUSH 7\nPUSH 0\nDIV\nHALT", {5, -3, 0}, kVmOk, 0},
      {"PUSH 0x80000000\nPUSH -1\nDIV\nPUSH 0x7FFFFFFF\nPUSH 1\nADD\nHALT", {INT_MIN, INT_MIN}, kVmOk, 0},
      {"PUSH 0x10000\nPUSH 0x10001\nMUL\nHALT", {0x10000}, kVmOk, 0},
      {"PUSH 1\nPUSH 2\nCMP\nPUSH 2\nPUSH 1\nCMP\nPUSH 3\nPUSH 3\nCMP\nHALT", {-1, 1, 0}, kVmOk, 0},
      {"PUSH 1\nPUSH 2\nLT\nPUSH 1\nPUSH 2\nGT\nPUSH 4\nPUSH 4\nEQ\nPUSH 4\nPUSH 4\nNE\nHALT", {1, 0, 1, 0}, kVmOk, 0},
      {"PUSH 3\nPUSH 0\nAND\nPUSH -2\nPUSH 5\nAND\nPUSH 0\nPUSH 0\nOR\nPUSH 0\nPUSH 9\nOR", {0, 1, 0, 1}, kVmOk, 1},
      {"PUSH 0\nNOT\nPUSH 6\nNOT\nNOT\nHALT", {1, 1}, kVmOk, 0},
      // Binary operations on fewer than two values, and NOT or POP on none, leave the stack as it is.
      {"PUSH 4\nADD\nSUB\nLT\nOR\nHALT", {4}, kVmOk, 0},
      {"POP\nNOT\nPOP\nNOP\nNOP4 99\nPUSH 1\nHALT", {1}, kVmOk, 0},
      // HALT is 11 and 15; without one the run ends at the code's end.
      {"PUSH 1\n.byte 15\nPUSH 2", {1}, kVmOk, 0},
      {"PUSH 1\nPUSH 2", {1, 2}, kVmOk, 1},
      // JZ and JNZ pop their value; with none they fall through.
      {"PUSH 0\nJZ yes\nPUSH 1\nyes: PUSH 5\nJNZ no\nPUSH 2\nno: JZ never\nPUSH 6\nHALT\nnever: PUSH 3", {6}, kVmOk, 0},
      {"PUSH 1\nJMP -5\nPUSH 2", {1}, kVmOk, 1},  // a negative target ends the run
      {".byte 24", {}, kVmBadCode, 0},
      {"PUSH 1\n.byte 1, 0, 0, 0", {1}, kVmBadCode, 0},  // the operand is cut off
      {"PUSH 1\n.byte 8, 0, 0", {1}, kVmBadCode, 0},
  };
  for (const auto& [source, after, error, running] : cases) {
    run(source);
    EXPECT_EQ(stack(), after) << source;
    EXPECT_EQ((std::pair{vm.error, vm.running}), (std::pair{error, running})) << source;
  }
  std::string pushes;
  for (int i = 1; i <= 65; ++i) pushes += "PUSH " + std::to_string(i) + "\n";
  run(pushes + "HALT");
  EXPECT_EQ((Ints{vm.sp, vm.stack[63]}), (Ints{64, 64}));  // the sixty-fifth is dropped
  type_keys("xc");
  key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;
  run("top: JMP top", ~0ull);
  EXPECT_EQ((std::pair{vm.error, vm.running}), (std::pair{kVmInterrupted, 0u}));
  u8 key;
  EXPECT_EQ(kbd_pop(&key), 0u);
  memset(key_states, 0, sizeof key_states);
  fake_hw::set_halt_hook([] {
    pit_ticks = pit_ticks + 1;
    if (pit_ticks == 30) key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;
  });
  run("PUSH 1000000\nSYSCALL sleep\nPUSH 1\nHALT", ~0ull);
  EXPECT_EQ((Ints{vm.error, static_cast<i32>(pit_ticks), vm.sp}), (Ints{kVmInterrupted, 30, 0}));
  key_states[scancode::kC] = 0;  // Ctrl alone is no interruption
  run("PUSH 5\nSYSCALL sleep\nHALT", ~0ull);
  EXPECT_EQ(stack(), Ints{1});
}

TEST_F(Vm, OperandsAreReadBigEndianOversizedCodeIsRefusedAndVariablesReadZeroUntilStoredAndAFullTableDropsNewOnes) {
  code = {0x12, 0x34, 0x56, 0x78, 0xFF};
  vm_load(vm, code.data(), 5);
  vm.pc = 1;
  EXPECT_EQ(vm_read_int(vm), 0x345678FF);
  EXPECT_EQ(vm_read_int(vm), 0);
  EXPECT_EQ((Ints{vm.pc, vm.error}), (Ints{5, kVmBadCode}));
  vm_load(vm, code.data(), kVmMaxCode + 1);
  vm_execute(vm);
  EXPECT_EQ((std::pair{vm.error, vm.running}), (std::pair{kVmBadCode, 0u}));
  run("LOAD 5\nPUSH 41\nSTORE 5\nLOAD 5\nPUSH -9\nSTORE -3\nLOAD -3\nSTORE 6\n"  // 0 while never stored
      // A LOAD that ran before its variable existed finds it afterwards.
      "PUSH 2\nSTORE 9\nloop: LOAD 7\nLOAD 9\nPUSH 1\nSUB\nSTORE 9\nPUSH 100\nSTORE 7\nLOAD 9\nJNZ loop\nHALT");
  EXPECT_EQ(stack(), (Ints{0, 41, 0, 100}));
  EXPECT_EQ((std::vector<std::string>{vm.var_names[0], vm.var_names[1]}), (std::vector<std::string>{"var5", "var-3"}));
  code = hitasm::assemble("PUSH 1\nSTORE 1000\nPUSH 2\nSTORE 5\nLOAD 5\nLOAD 1000\nHALT").code;
  vm_load(vm, code.data(), static_cast<i32>(code.size()));
  for (i32 i = 0; i < kVmMaxVars; ++i) snprintf(vm.var_names[i], kVmVarNameCap, "var%d", 1000 + i);
  vm.var_count = kVmMaxVars;
  vm_execute(vm);
  EXPECT_EQ(stack(), (Ints{0, 1}));
}

}  // namespace
}  // namespace tavlin::script_test
