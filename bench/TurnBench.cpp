// The cost of one full turn (player, creatures, spawning, specials, drawing into the in-memory
// terminal) on a fresh level 1 and on a crowded level 10, and over play on every level.
#include <benchmark/benchmark.h>

#include <vector>

#include "BusyLevel.h"
#include "TurnTimes.h"
#include "dice/Lfrand.h"

namespace {

int liveCreatures(const World& w) {
  int n = 0;
  for (const Creature& c : w.creatures) n += c.alive ? 1 : 0;
  return n;
}

int liveSpecials(const World& w) {
  int n = 0;
  for (const Special& s : w.specials) n += s.count != -1 ? 1 : 0;
  return n;
}

// Plays a kept turn again from its state, dice and keys; returns the CPU time of the turn.
double playAgain(const TurnCase& turn, MemoryTerminal& term) {
  GameState game = turn.before;
  lfSrand(turn.seed);
  term.pushKeys(turn.keys);
  const double start = TurnTimes::threadCpuNs();
  playTurn(game);
  return TurnTimes::threadCpuNs() - start;
}

// Every iteration replays the same starting state with fresh dice, so each timed turn is one turn
// of that scene; every third turn fires a laser as it moves.
void replayedTurn(benchmark::State& state, const BenchScene& scene, MemoryTerminal& term) {
  const std::vector<int> fireKeys = clearMoveKeys(scene.game, true);
  TurnTimes times;
  SlowestTurns slowest;
  GameState game = scene.game;
  int turn = 0;
  for (auto _ : state) {
    game = scene.game;
    const std::vector<int>& keys = ++turn % 3 == 0 ? fireKeys : scene.moveKeys;
    lfSrand(turn);
    term.pushKeys(keys);
    state.SetIterationTime(times.time([&] { playTurn(game); }));
    if (slowest.wouldKeep(times.lastCpuNs())) slowest.keep(times.lastCpuNs(), {scene.game, turn, keys});
  }
  times.report(state);
  state.counters["slowest_again_cpu_us"] =
      slowest.timedAgain([&](const TurnCase& turn) { return playAgain(turn, term); });
  state.counters["creatures"] = static_cast<double>(liveCreatures(scene.game.world));
  state.counters["specials"] = static_cast<double>(liveSpecials(scene.game.world));
}

// Play goes on from each scene in turn, moving onto clear cells and using every weapon; the next
// scene is set up (untimed) whenever the ship dies or leaves. Each turn gets its own dice seed, so
// any turn can be played again from a copy of the state before it.
void playedTurns(benchmark::State& state, const std::vector<BenchScene>& scenes, MemoryTerminal& term) {
  TurnTimes times;
  SlowestTurns slowest;
  std::size_t scene = 0;
  GameState game = scenes[scene].game;
  GameState before = game;
  int turn = 0;
  for (auto _ : state) {
    if (!game.alive || game.world.exitReached) {
      scene = (scene + 1) % scenes.size();
      game = scenes[scene].game;
    }
    before = game;
    const std::vector<int> keys = playKeys(game, ++turn);
    lfSrand(turn);
    term.pushKeys(keys);
    state.SetIterationTime(times.time([&] { playTurn(game); }));
    if (slowest.wouldKeep(times.lastCpuNs())) slowest.keep(times.lastCpuNs(), {before, turn, keys});
  }
  times.report(state);
  state.counters["slowest_again_cpu_us"] =
      slowest.timedAgain([&](const TurnCase& turn) { return playAgain(turn, term); });
}

void BM_TurnLevel1(benchmark::State& state) {
  MemoryScreen screen;
  replayedTurn(state, freshLevel(1), screen.term);
}

void BM_TurnBusyLevel10(benchmark::State& state) {
  MemoryScreen screen;
  replayedTurn(state, busyLevelTen(), screen.term);
}

void BM_PlayedTurnsLevel1(benchmark::State& state) {
  MemoryScreen screen;
  playedTurns(state, {freshLevel(1)}, screen.term);
}

void BM_PlayedTurnsBusyLevel10(benchmark::State& state) {
  MemoryScreen screen;
  playedTurns(state, {busyLevelTen()}, screen.term);
}

// Every level from its start, and the final level's self-destruct: the search for the slowest turn.
void BM_PlayedTurnsAllLevels(benchmark::State& state) {
  MemoryScreen screen;
  std::vector<BenchScene> scenes;
  for (int level = 1; level <= numLevels; ++level) scenes.push_back(freshLevel(level));
  scenes.push_back(selfDestructLevelTen());
  playedTurns(state, scenes, screen.term);
}

}  // namespace

BENCHMARK(BM_TurnLevel1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TurnBusyLevel10)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayedTurnsLevel1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayedTurnsBusyLevel10)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayedTurnsAllLevels)->UseManualTime()->Unit(benchmark::kMicrosecond);
