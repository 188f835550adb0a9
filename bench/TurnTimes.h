// Per-turn timing for the benchmarks: wall and thread CPU time of every turn, reported as the
// median, the 99th percentile and the slowest turn, since a mean hides the turns a player feels.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "game/Game.h"

class TurnTimes {
 public:
  // Times one call; returns its wall time in seconds for State::SetIterationTime.
  template <typename F>
  double time(F&& turn) {
    const double cpuStart = threadCpuNs();
    const double wallStart = wallNs();
    turn();
    return record(wallNs() - wallStart, threadCpuNs() - cpuStart);
  }
  // Records a turn timed by the caller; returns its wall time in seconds.
  double record(double wall, double cpu) {
    wall_.push_back(wall);
    cpu_.push_back(cpu);
    return wall * 1e-9;
  }
  double lastCpuNs() const { return cpu_.back(); }

  // Wall-clock figures include the moments another process held the core; the CPU figures are the
  // turn's own work and decide whether any turn was slow.
  void report(benchmark::State& state) {
    if (wall_.empty()) return;
    state.counters["median_us"] = percentile(wall_, 0.5) / 1000;
    state.counters["p99_us"] = percentile(wall_, 0.99) / 1000;
    state.counters["max_us"] = percentile(wall_, 1.0) / 1000;
    state.counters["cpu_median_us"] = percentile(cpu_, 0.5) / 1000;
    state.counters["cpu_max_us"] = percentile(cpu_, 1.0) / 1000;
  }

 private:
  static double percentile(std::vector<double>& v, double p) {
    const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(i), v.end());
    return v[i];
  }
  static double clockNs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
  }

 public:
  static double wallNs() { return clockNs(CLOCK_MONOTONIC); }
  static double threadCpuNs() { return clockNs(CLOCK_THREAD_CPUTIME_ID); }

 private:
  std::vector<double> wall_;
  std::vector<double> cpu_;
};

// Everything that decides a turn: the state before it, the dice seed it starts with and the keys
// (none when a key hook chooses them during the turn from the game and the dice).
struct TurnCase {
  GameState before;
  int seed;
  std::vector<int> keys;
};

// On a shared machine a turn's clock also catches interrupts and cold caches after another
// process ran, so the slowest turns measured are not always the slowest turns there are. The
// slowest few are kept and timed again, many times each: the median of the re-runs is what the
// turn itself costs.
class SlowestTurns {
 public:
  bool wouldKeep(double cpuNs) const { return kept_.size() < kept || cpuNs > kept_.front().first; }
  void keep(double cpuNs, TurnCase turn) {
    kept_.emplace_back(cpuNs, std::move(turn));
    std::sort(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (kept_.size() > kept) kept_.erase(kept_.begin());
  }
  // The largest median CPU time, in microseconds, of the kept turns played again by playAgain,
  // which returns the CPU nanoseconds of one replay.
  double timedAgain(const std::function<double(const TurnCase&)>& playAgain) const {
    double slowest = 0;
    for (const auto& [measured, turn] : kept_) {
      std::vector<double> runs;
      for (int i = 0; i < reruns; ++i) runs.push_back(playAgain(turn));
      std::nth_element(runs.begin(), runs.begin() + reruns / 2, runs.end());
      slowest = std::max(slowest, runs[reruns / 2] / 1000);
    }
    return slowest;
  }

 private:
  static constexpr std::size_t kept = 16;
  static constexpr int reruns = 15;
  std::vector<std::pair<double, TurnCase>> kept_;  // ascending by measured CPU time
};
