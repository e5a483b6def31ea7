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

// Runs `ours` in the benchmark loop and records ours / reference as a
// counter; returns the best time of ours.
template <typename Ours, typename Reference>
double run_with_ratio(benchmark::State& state, const char* counter, Ours&& ours, Reference&& reference) {
  for (auto _ : state) {
    ours();
    benchmark::ClobberMemory();
  }
  const double best = best_seconds(ours);
  state.counters[counter] = best / best_seconds(reference);
  return best;
}

}  // namespace tavlin::bench
