// Turns of random play on level 10, with the soak's key chooser: what an ordinary level-10 turn
// costs, and how crowded level 10 gets in play, which is what the busy scene is built to match.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "BusyLevel.h"
#include "TurnTimes.h"
#include "dice/Lfrand.h"
#include "soak/Soak.h"

namespace {

void BM_RandomPlayLevel10(benchmark::State& state) {
  MemoryScreen screen;
  MemoryTerminal& term = screen.term;
  TurnTimes times;
  int games = 0;
  GameState game = gameAtLevel(10, 0);
  game.alive = false;  // the first iteration starts a real game
  // The chooser runs inside the turn, when the game asks for a key; its own time is taken out.
  double chooserWall = 0;
  double chooserCpu = 0;
  term.onKeyWait([&](const MemoryTerminal&) {
    const double wall = TurnTimes::wallNs();
    const double cpu = TurnTimes::threadCpuNs();
    if (term.keysLeft() == 0) term.pushKeys(randomKeys(game));
    chooserWall += TurnTimes::wallNs() - wall;
    chooserCpu += TurnTimes::threadCpuNs() - cpu;
  });
  // Each turn starts from its own seed, so the chooser's keys and the game's dice are the same
  // when a kept turn is played again.
  const auto playFromSeed = [&](int seed) {
    lfSrand(seed);
    chooserWall = chooserCpu = 0;
    const double wall = TurnTimes::wallNs();
    const double cpu = TurnTimes::threadCpuNs();
    playTurn(game);
    return std::pair{TurnTimes::wallNs() - wall - chooserWall, TurnTimes::threadCpuNs() - cpu - chooserCpu};
  };
  SlowestTurns slowest;
  std::vector<int> specials;
  int mostCreatures = 0;
  int turn = 0;
  GameState before = game;
  for (auto _ : state) {
    if (!game.alive || game.world.exitReached) {
      lfSrand(++games);
      game = gameAtLevel(10, lfDice(Dicespec{1, 301, -1}));
    }
    before = game;
    const auto [turnWall, turnCpu] = playFromSeed(++turn);
    state.SetIterationTime(times.record(turnWall, turnCpu));
    if (slowest.wouldKeep(turnCpu)) slowest.keep(turnCpu, {before, turn, {}});
    int live = 0;
    for (const Special& s : game.world.specials) live += s.count != -1 ? 1 : 0;
    specials.push_back(live);
    int alive = 0;
    for (const Creature& c : game.world.creatures) alive += c.alive ? 1 : 0;
    mostCreatures = std::max(mostCreatures, alive);
  }
  times.report(state);
  state.counters["slowest_again_cpu_us"] = slowest.timedAgain([&](const TurnCase& kept) {
    game = kept.before;
    return playFromSeed(kept.seed).second;
  });
  std::sort(specials.begin(), specials.end());
  state.counters["specials_p99"] = specials[specials.size() * 99 / 100];
  state.counters["specials_max"] = specials.back();
  state.counters["creatures_max"] = mostCreatures;
  state.counters["games"] = games;
}

}  // namespace

BENCHMARK(BM_RandomPlayLevel10)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);
