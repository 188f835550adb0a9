// The dice generator. All arithmetic wraps at 32 bits exactly as written: the sum of two ring
// cells may overflow to a negative number before the remainder, and every game depends on it.
#include "dice/Lfrand.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::int32_t modulus = 2147483647;  // 2^31 - 1
constexpr int ringSize = 55;
constexpr int secondTap = 23;
constexpr std::uint32_t multiplier = 62089911;

struct RingState {
  std::array<std::int32_t, ringSize> ring{};
  int write = 0;
  int tapA = ringSize - 1;
  int tapB = secondTap;
};

RingState state;
std::uint32_t builtinSeed = 0;

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t wrappingAbs(std::int32_t v) {
  // The most negative int has no positive counterpart and stays as it is.
  return v < 0 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v)) : v;
}

int advance(int cursor) { return cursor == ringSize - 1 ? 0 : cursor + 1; }

std::uint32_t builtinStep() {
  builtinSeed *= multiplier;
  return builtinSeed >> 16;
}

// Seeded with 0 from the start; a run then seeds it with its own seed (from the clock, --seed,
// --daily or a recording), and a test with the one it names.
const bool seededAtStart = (lfSrand(0), true);

}  // namespace

namespace Builtins {
void srand(int seed) { builtinSeed = static_cast<std::uint32_t>(seed); }

int rand() {
  const std::uint32_t lo = builtinStep();
  const std::uint32_t hi = builtinStep();
  return static_cast<std::int32_t>(lo | (hi << 16));
}
}  // namespace Builtins

void lfSrand(int seed) {
  (void)seededAtStart;
  Builtins::srand(seed);
  std::array<std::int32_t, ringSize> drawn{};
  for (auto& d : drawn) d = wrappingAbs(Builtins::rand()) % modulus;
  RingState fresh;
  fresh.ring[0] = drawn[ringSize - 1];
  for (int j = 1; j < ringSize; ++j) fresh.ring[j] = drawn[ringSize - 1 - j];
  state = fresh;
}

int lfGetRand() {
  std::int32_t v = wrappingAdd(state.ring[state.tapA], state.ring[state.tapB]);
  v %= modulus;
  if (v < 0) v += modulus;
  state.ring[state.write] = v;
  state.write = advance(state.write);
  state.tapA = advance(state.tapA);
  state.tapB = advance(state.tapB);
  return v;
}

bool lfStuck() {
  return std::all_of(state.ring.begin(), state.ring.end(), [](std::int32_t v) { return v == 0; });
}

int lfIntRand(int s) {
  if (s < 1) throw ValueOutOfRange("lfIntRand needs at least one side, got " + std::to_string(s));
  return lfGetRand() % s;
}

int lfDice(const Dicespec& dice) {
  int total = dice.m;
  for (int i = 0; i < dice.n; ++i) {
    if (dice.s > 0) total += lfIntRand(dice.s) + 1;
  }
  return total;
}
