// The bytecode machine's speed on a counting loop (LOAD, PUSH, ADD, STORE,
// LOAD, PUSH, LT, JNZ) against the same loop in C++, with the count kept in
// memory as the machine keeps its variable.
#include <benchmark/benchmark.h>

#include <string>

#include "kernel/script/vm.h"
#include "ratio.h"
#include "tools/hitasm/assembler.h"

namespace tavlin {
namespace {

constexpr i32 kRounds = 5'000'000;
constexpr double kInstructions = 2 + 8.0 * kRounds + 1;

const hitasm::Bytes& counting_loop() {
  static const hitasm::Bytes code = hitasm::assemble(R"(
          PUSH 0
          STORE 0
    loop: LOAD 0
          PUSH 1
          ADD
          STORE 0
          LOAD 0
          PUSH )" + std::to_string(kRounds) + R"(
          LT
          JNZ loop
          HALT)").code;
  return code;
}

void run_machine() {
  static VmState vm;
  const hitasm::Bytes& code = counting_loop();
  vm_load(vm, code.data(), static_cast<i32>(code.size()));
  vm_execute(vm);
  if (vm.var_values[0] != kRounds) std::abort();
}

void run_native() {
  i32 i = 0;
  do {
    i = i + 1;
    benchmark::DoNotOptimize(i);
  } while (i < kRounds);
}

void VmCountingLoop(benchmark::State& state) {
  const double best = bench::run_with_ratio(state, "x_cpp", run_machine, run_native);
  state.counters["M_instructions_per_s"] = kInstructions / best / 1e6;
}
BENCHMARK(VmCountingLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavlin
