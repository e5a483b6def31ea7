// Ratios against a reference run in the same process: the best of several
// rounds of each, so that a noisy neighbour hurts both sides alike.
#pragma once
#include <benchmark/benchmark.h>

#include <chrono>

namespace tavlin::bench {

template <typename F>
double best_seconds(F&& work, int rounds = 15) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    benchmark::ClobberMemory();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  return best;
}

// Runs `ours` in the benchmark loop and records ours / reference as a counter.
template <typename Ours, typename Reference>
void run_with_ratio(benchmark::State& state, const char* counter, Ours&& ours, Reference&& reference) {
  for (auto _ : state) {
    ours();
    benchmark::ClobberMemory();
  }
  state.counters[counter] = best_seconds(ours) / best_seconds(reference);
}

}  // namespace tavlin::bench
